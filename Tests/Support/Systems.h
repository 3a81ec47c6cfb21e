// Taking down what a test brought up, in the order given: a system that exists is shut down and
// destroyed; one that does not is left alone rather than made only to be taken down.
#pragma once

namespace Testing {

template <class System>
void ShutDownOne() {
  if (!System::Exists()) return;
  System::Instance().Shutdown();
  System::Destroy();
}

template <class... Systems>
void ShutDown() {
  (ShutDownOne<Systems>(), ...);
}

}  // namespace Testing
