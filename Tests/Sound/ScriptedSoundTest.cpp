#include "Script/ScriptTesting.h"
#include "Sound/SoundEngine.h"

namespace {

class ScriptedSound : public Testing::ScriptTest {
 protected:
  ScriptedSound() { Start(); }
  ~ScriptedSound() override { Snd::SoundEngine::Destroy(); }
};

}  // namespace

// The engine here has no audio system (never initialised): the combo counts all the same.
TEST_F(ScriptedSound, IncFFComboRaisesTheComboAndAnswersTheCountTheGameStateLastHeard) {
  Snd::SoundEngine& sound = Snd::SoundEngine::Instance();
  Game::GlobalStateData::Instance();
  EXPECT_EQ(Run("return Global.IncFFCombo()"), "0");
  EXPECT_EQ(Run("return Global.IncFFCombo(), Global.IncFFCombo()"), "0");
  Deliver();
  EXPECT_EQ(sound.Combo(), 3);
  sound.Update();  // posts the count
  EXPECT_EQ(Run("return Global.IncFFCombo()"), "0");
  Deliver();
  EXPECT_EQ(Run("return Global.IncFFCombo()"), "3");
}
