// Waterfalls: flat ribbons between two edges, made at run time from addWaterfallMsg (the graphics
// facade passes it on) and drawn with the material "gaBubble", whose shader ripples the surface.
//
// A ribbon of N segments between points P1, P2, P3, P4 has its first edge from P1 to P3 and its
// second from P2 to P4: vertices A_k = P1 + k (P3 - P1) / N and B_k = P2 + k (P4 - P2) / N for
// k = 0 … N, stored A_0, B_0, A_1, B_1, …, and per segment the triangles (2k+1, 2k, 2k+3) and
// (2k+3, 2k, 2k+2). u is 0 on the first edge and 1 on the second; v grows from 0 at P1/P2 by the
// segment's length over the ribbon's width, so the texture keeps its proportions.
//
// The WaterfallManager gathers every ribbon into shared batches of at most 65535 vertices, each
// one visual and one draw call; a ribbon that cannot fit even an empty batch is an assertion and
// is dropped. Created by the graphics facade's Init, destroyed by its Shutdown. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Graphics/Model.h"
#include "Graphics/Visuals.h"
#include "Util/Singleton.h"
#include "Util/Vec3.h"

namespace Gfx {

struct Ribbon {
  std::vector<Vertex> m_Vertices;
  std::vector<uint32_t> m_Indices;
};

// The ribbon of `segments` segments; false (nothing built) for fewer than one segment.
bool BuildRibbon(const Util::Vec3& p1, const Util::Vec3& p2, const Util::Vec3& p3, const Util::Vec3& p4,
                 int32_t segments, Ribbon& out);

struct WaterfallBatch {
  std::vector<Vertex> m_Vertices;
  std::vector<uint32_t> m_Indices;          // into this batch's vertices
  std::unique_ptr<VisualDynamic> m_Visual;  // draws the batch with "gaBubble"
};

class WaterfallManager : public Util::Singleton<WaterfallManager> {
 public:
  static constexpr uint32_t kMaxBatchVertices = 65535;
  static constexpr const char* kMaterial = "gaBubble";

  // Builds the ribbon and adds it to the batches; false when nothing was added (fewer than one
  // segment, reported on standard output; or too many vertices for any batch, an assertion).
  bool AddWaterfall(const Util::Vec3& p1, const Util::Vec3& p2, const Util::Vec3& p3, const Util::Vec3& p4,
                    int32_t segments);

  size_t BatchCount() const { return m_Batches.size(); }
  const WaterfallBatch& Batch(size_t i) const { return *m_Batches[i]; }

  // Drops every waterfall and its visuals.
  void Shutdown();

  // Every batch within its vertex limit, its indices naming its own vertices, its visual drawing
  // its arrays as they stand.
  bool Validate() const;

 private:
  friend class Util::Singleton<WaterfallManager>;
  WaterfallManager() : Singleton(true) {}
  ~WaterfallManager() override;

  WaterfallBatch& StartBatch();

  std::vector<std::unique_ptr<WaterfallBatch>> m_Batches;  // the last one is being filled
};

}  // namespace Gfx
