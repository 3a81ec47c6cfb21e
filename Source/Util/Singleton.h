// Singleton: the base through which every system object is created, found and destroyed.
//
// Each class T has one registration record holding its instance and whether the program must
// destroy it explicitly (the engine's shutdown does, for the systems) or it dies at program exit
// (the clock, the pools, a few factories). The record is a function-local static, so records are
// built on first use and torn down in reverse order at exit; the teardown of a record that still
// holds an explicitly destroyed instance reports the forgotten destroy and deletes it anyway.
//
//   class Window : public Util::Singleton<Window> {
//     friend class Util::Singleton<Window>;
//     Window() : Singleton(true) {}
//   };
#pragma once

#include "Util/Assert.h"

namespace Util {

inline constexpr const char kSingletonAssertFile[] = "Source\\Util\\util_singleton";

template <class T>
class Singleton;

template <class T>
struct SingletonDestructor {
  T* m_Singleton = nullptr;
  bool m_ExplicitDelete = false;

  ~SingletonDestructor() {
    if (!m_Singleton) return;
    UTIL_ASSERT_IN(kSingletonAssertFile, m_ExplicitDelete == false,
                   "Somebody forgot to explicitly destroy a singleton when they should have.");
    T* doomed = m_Singleton;
    m_Singleton = nullptr;
    Singleton<T>::Delete(doomed);
  }
};

template <class T>
class Singleton {
 public:
  // The instance, created with a plain heap allocation on first use.
  static T& Instance() {
    SingletonDestructor<T>& record = Record();
    if (!record.m_Singleton) {
      T* created = new T;
      UTIL_ASSERT_IN(kSingletonAssertFile, record.m_Singleton == 0,
                     "Assigning a new singleton to a SingletonDestructor that is already in use");
      record.m_Singleton = created;
    }
    return *record.m_Singleton;
  }

  static bool Exists() { return Record().m_Singleton != nullptr; }

  // Deletes the instance of a class created with the explicit-delete flag; nothing without one.
  static void Destroy() {
    SingletonDestructor<T>& record = Record();
    if (!record.m_Singleton) return;
    UTIL_ASSERT_IN(kSingletonAssertFile, record.m_ExplicitDelete == true,
                   "Somebody is explicitly destroying a singleton when they shouldn't be.");
    T* doomed = record.m_Singleton;
    record.m_Singleton = nullptr;
    Delete(doomed);
  }

  Singleton(const Singleton&) = delete;
  Singleton& operator=(const Singleton&) = delete;
  virtual ~Singleton() = default;

 protected:
  explicit Singleton(bool explicitDelete) { Record().m_ExplicitDelete = explicitDelete; }

 private:
  friend struct SingletonDestructor<T>;

  // T befriends its Singleton base only, so every deletion goes through here.
  static void Delete(T* instance) { delete instance; }

  static SingletonDestructor<T>& Record() {
    static SingletonDestructor<T> record;
    return record;
  }
};

}  // namespace Util
