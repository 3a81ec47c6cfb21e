// Handle: a reference-counted shared handle. Messages travel to their receivers in handles, and a
// receiver that wants a message after its handler returns keeps a copy of the handle.
//
// A handle built from a pointer owns the object: handles copied from it share one instance record
// (the object and the number of handles), and the last handle to go deletes the object through its
// virtual destructor (a pooled object returns its block to its pool), then the record.
// Main thread only: the counts are plain fields.
#pragma once

#include <cstdint>

#include "Util/Assert.h"

namespace Util {

inline constexpr const char kHandleAssertFile[] = "Source\\Util\\util_handle";

template <class T>
class Handle {
 public:
  Handle() = default;
  // Takes ownership of object. A record is made even for null, so the handle is not valid but
  // still counts as one reference.
  explicit Handle(T* object) : m_objInst(new InstanceRecord{object, 1}) {}
  Handle(const Handle& other) : m_objInst(other.m_objInst) {
    if (m_objInst) ++m_objInst->references;
  }
  virtual Handle& operator=(const Handle& other) {
    if (m_objInst == other.m_objInst) return *this;
    Release();
    m_objInst = other.m_objInst;
    if (m_objInst) ++m_objInst->references;
    return *this;
  }
  virtual ~Handle() { Release(); }

  virtual bool IsValid() const { return m_objInst && m_objInst->object; }

  // The object. An empty handle or a null object is reported, and null comes back.
  T* Get() const {
    if (!UTIL_ASSERT_IN(kHandleAssertFile, m_objInst != 0, "Dereferencing a NULL handle")) return nullptr;
    UTIL_ASSERT_IN(kHandleAssertFile, m_objInst->object != 0, "Handle has a NULL pointer for data");
    return m_objInst->object;
  }
  T* operator->() const { return Get(); }

  // How many handles share this one's record; 0 for an empty handle.
  uint32_t References() const { return m_objInst ? m_objInst->references : 0; }

 private:
  struct InstanceRecord {
    T* object;
    uint32_t references;
  };

  void Release() {
    if (!m_objInst) return;
    InstanceRecord* record = m_objInst;
    m_objInst = nullptr;
    if (--record->references == 0) Destroy(record);
  }

  // Out of line: the compiler, seeing two handles to one record let go in a row, would otherwise
  // take the first one's delete for a use after free by the second.
  [[gnu::noinline]] static void Destroy(InstanceRecord* record) {
    delete record->object;
    UTIL_ASSERT_IN(kHandleAssertFile, record->references == 0, "Destruction before zero reference count");
    delete record;
  }

  InstanceRecord* m_objInst = nullptr;
};

}  // namespace Util
