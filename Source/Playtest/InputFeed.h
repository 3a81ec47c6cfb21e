// InputFeed: the play script's hands on the game's input. Everything goes in the way a player's
// input does, so that the game's own input code runs: events into SDL's queue (keys by the game's
// SDL 1.2 numbers, mouse motion, buttons and wheel, the window's close, SDL's quit) and a virtual
// game controller made by SDL (plugged in and out, buttons and axes by SDL's names and values).
//
// While a play test runs, the feed is the game's only source of input: an SDL event filter takes
// every input event the system queues (the keyboard and mouse of whoever sits at the display, the
// pointer warps the game makes) out of the queue. Recording, those events are held instead, and
// the runner puts them back before the next input step, where the recorder sees them; the warp's
// own motion is dropped, as the game drops it. Main thread, except the filter, which SDL may call
// from any thread that queues events.
#pragma once

#include <SDL.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace Play {

enum class SystemInput { Drop, Hold };

class InputFeed {
 public:
  InputFeed() = default;
  ~InputFeed();
  InputFeed(const InputFeed&) = delete;
  InputFeed& operator=(const InputFeed&) = delete;

  // Needs SDL's events running. Events already queued are filtered as well.
  void Start(SystemInput mode);
  // Unplugs the controller and removes the filter; before SDL goes.
  void Stop();

  // The system's events held since the last call, oldest first.
  std::vector<SDL_Event> TakeHeld();
  // Sees every event the feed queues (the recorder).
  void SetObserver(std::function<void(const SDL_Event&)> observer) { m_Observer = std::move(observer); }

  // Queues an event as the feed's own; false when SDL refused it.
  bool Push(SDL_Event event);

  // The events a player's input makes. A key by the game's number: false when the number has no
  // SDL key (SDL 1.2's numbers without an SDL2 key, or none at all).
  static bool KeyEvent(int code, bool down, SDL_Event& event);
  static SDL_Event MotionEvent(int x, int y, int dx, int dy);
  // Game numbering: 1 left, 2 middle, 3 right, 6 and 7 the extra buttons; 4 and 5 are the wheel,
  // a notch up and down, and make a wheel event (nothing when let go: `event` is left empty).
  // False for other numbers.
  static bool MouseButtonEvent(int button, bool down, int x, int y, SDL_Event& event);
  static SDL_Event WheelEvent(int notches);
  static SDL_Event QuitEvent();
  static SDL_Event CloseEvent(SDL_Window* window);

  // The virtual controller. Connecting also starts SDL's controller support if nobody has yet.
  bool Connect();
  bool Disconnect();
  bool Connected() const { return m_Pad != nullptr; }
  // SDL's names ("a", "start", "dpup", "leftx", "lefttrigger", ...) and values (axes -32768 to
  // 32767, y pointing down; triggers 0 to 32767). False for an unknown name or with no controller.
  bool PadButton(const char* name, bool down);
  bool PadAxis(const char* name, int value);

 private:
  static int Filter(void* self, SDL_Event* event);
  // Runs something that queues events (a push, a controller plugged) as the feed's own.
  template <class F>
  auto Own(F f) {
    m_Injecting.store(true);
    auto result = f();
    m_Injecting.store(false);
    return result;
  }

  bool m_Started = false;
  SystemInput m_Mode = SystemInput::Drop;
  std::atomic<bool> m_Injecting{false};
  std::mutex m_HeldMutex;
  std::vector<SDL_Event> m_Held;
  std::function<void(const SDL_Event&)> m_Observer;
  SDL_Joystick* m_Pad = nullptr;
  bool m_ControllerSystem = false;
};

// Whether an event is input from the system that a play test keeps out of the game.
bool IsSystemInput(const SDL_Event& event);

}  // namespace Play
