// 10,000 entities built from one definition file (an Entity element with its name and a full
// Shared block, and a physics and a script element that no builder serves yet) and removed again:
// the reading of the file, the pooled entities and list nodes, the posted eManAddedMsg delivered
// to the manager, and the eManRemovedMsg sent for each removal.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "Game/Entity.h"
#include "Game/EntityManager.h"
#include "Messaging/Messages.h"
#include "Ratio.h"

namespace {

const char kDefinition[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<XMLRoot>\n"
    "  <Entity>\n"
    "    <string name=\"name\">Firefly</string>\n"
    "    <Shared>\n"
    "      <Position><float name=\"x\">10</float><float name=\"y\">200</float><float name=\"z\">30</float></Position>\n"
    "      <Rotation><float name=\"x\">0</float><float name=\"y\">45</float><float name=\"z\">0</float></Rotation>\n"
    "      <Scale><float name=\"x\">1</float><float name=\"y\">1</float><float name=\"z\">1</float></Scale>\n"
    "      <Velocity><float name=\"x\">0</float><float name=\"y\">0</float><float name=\"z\">0</float></Velocity>\n"
    "    </Shared>\n"
    "  </Entity>\n"
    "  <Physics><float name=\"mass\">1</float><Hull><Sphere><float name=\"r\">2</float></Sphere></Hull></Physics>\n"
    "  <Script><string name=\"file\">../../Assets/Scripts/e_Firefly.lua</string><bool "
    "name=\"always\">1</bool></Script>\n"
    "</XMLRoot>\n";

// The definition in a directory of its own for the run.
class DefinitionFile {
 public:
  DefinitionFile() {
    char pattern[] = "/tmp/hollowmere-bench-XXXXXX";
    m_Dir = ::mkdtemp(pattern) ? pattern : "/tmp";
    m_Path = m_Dir + "/e_Firefly.xml";
    if (std::FILE* file = std::fopen(m_Path.c_str(), "wb")) {
      std::fputs(kDefinition, file);
      std::fclose(file);
    }
  }
  ~DefinitionFile() {
    std::remove(m_Path.c_str());
    ::rmdir(m_Dir.c_str());
  }
  const char* Path() const { return m_Path.c_str(); }

 private:
  std::string m_Dir, m_Path;
};

void CreateAndRemoveEntities(benchmark::State& state) {
  const DefinitionFile definition;
  const int count = static_cast<int>(state.range(0));
  Game::EntityManager& manager = Game::EntityManager::Instance();
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) manager.CreateEntity(definition.Path());
    Msg::MailMan::Instance().Deliver();
    manager.Shutdown();
  }
  if (manager.Count() != 0) state.SkipWithError("entities left over");
  Game::EntityManager::Destroy();
  Msg::MailMan::Instance().Shutdown();
  Msg::MailMan::Destroy();
  state.SetItemsProcessed(state.iterations() * count);
}

// The list's own part: creating and removing bare entities through the pools, no file read.
void CreateAndRemoveBareEntities(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::vector<Game::Entity*> made(count);
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) made[i] = new Game::Entity();
    for (int i = 0; i < count; ++i) delete made[i];
  }
  state.SetItemsProcessed(state.iterations() * count);
}

}  // namespace

BENCHMARK(CreateAndRemoveEntities)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateAndRemoveBareEntities)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCH_MAIN_WITH_RATIOS({"CreateAndRemoveEntities/10000", "CreateAndRemoveBareEntities/10000"})
