// Job: a piece of work handed between the main thread and the worker thread (see Worker.h).
//
// `Run` performs the job and may return a follow-up job. Loading an asset takes two jobs: an
// `OpenAssetJob` runs on the worker and builds the asset from its file, and the `LoadAssetJob` it
// returns runs on the main thread, completes the asset and hands it to its owner's table.
// A `KillingJob` is never run: the worker stops when it takes one.
//
// The asset type T provides:
//   explicit T(const std::string& path);  // worker thread: reads the file; no singletons,
//                                         // messages or script state here
//   void Complete();                      // main thread: the part that needs the systems
// and its owner provides an `AssetStore<T>`, a function that files the finished asset in the
// owner's table at the job's slot (for sounds, the sound engine's table of audibles). The
// store is a plain function, reached on the main thread, so no job holds on to a system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace Util {

class Job {
 public:
  static constexpr uint8_t kOpenAsset = 0;
  static constexpr uint8_t kLoadAsset = 1;
  static constexpr uint8_t kKilling = 222;

  explicit Job(uint8_t kind = kOpenAsset) : m_Kind(kind) {}
  virtual ~Job() = default;
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  uint8_t Kind() const { return m_Kind; }

  // Performs the job; the follow-up job, if any, goes to the other thread.
  virtual std::unique_ptr<Job> Run();

 private:
  uint8_t m_Kind;
};

// Files a finished asset in its owner's table; called on the main thread.
template <class T>
using AssetStore = void (*)(uint32_t slot, std::unique_ptr<T> asset);

template <class T>
class LoadAssetJob : public Job {
 public:
  LoadAssetJob(std::unique_ptr<T> asset, uint32_t slot, AssetStore<T> store)
      : Job(kLoadAsset), m_Asset(std::move(asset)), m_Slot(slot), m_Store(store) {}

  // Main thread.
  std::unique_ptr<Job> Run() override {
    m_Asset->Complete();
    m_Store(m_Slot, std::move(m_Asset));
    return nullptr;
  }

 private:
  std::unique_ptr<T> m_Asset;
  uint32_t m_Slot;
  AssetStore<T> m_Store;
};

template <class T>
class OpenAssetJob : public Job {
 public:
  OpenAssetJob(std::string path, uint32_t slot, AssetStore<T> store)
      : Job(kOpenAsset), m_Path(std::move(path)), m_Slot(slot), m_Store(store) {}

  // Worker thread. A file that cannot be read still gives its follow-up: the asset reports its
  // own failure when it is completed.
  std::unique_ptr<Job> Run() override {
    return std::make_unique<LoadAssetJob<T>>(std::make_unique<T>(m_Path), m_Slot, m_Store);
  }

 private:
  std::string m_Path;
  uint32_t m_Slot;
  AssetStore<T> m_Store;
};

class KillingJob : public Job {
 public:
  KillingJob() : Job(kKilling) {}
  std::unique_ptr<Job> Run() override;
};

}  // namespace Util
