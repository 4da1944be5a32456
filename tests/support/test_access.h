// SPDX-License-Identifier: MIT
// The one door for tests (and benchmarks) into what production classes keep to themselves: injected
// faults and resize counts of a container, the renderer's direct painting, a Qt widget's paints and the
// repaint pacer's frame. Each of those classes names TestAccess as its friend and offers nothing of this
// publicly.
#pragma once

#include <cstdint>

#include "control/render/renderer.h"
#include "host/container_base.h"
#include "host/operation_faults.h"

namespace glimmer {

class TestAccess {
 public:
  static OperationFaults& faults(const ContainerBase& container) { return container.faults(); }
  // Calls of the host's resize, and how deeply they nested, since the container was made or last reset.
  static int resize_calls(const ContainerBase& container) { return container.resize_calls_; }
  static int max_resize_depth(const ContainerBase& container) { return container.max_resize_depth_; }
  static void SetDirectPainting(Renderer& renderer, bool on) { renderer.direct_ = on; }
  // Times a Qt container widget has been painted.
  template <class Widget>
  static std::int64_t paints(const Widget& widget) {
    return widget.paints_;
  }
  // The length of the repaint pacer's frame.
  template <class Pacer>
  static void set_frame_milliseconds(Pacer& pacer, int milliseconds) {
    pacer.frame_ = milliseconds;
  }
};

}  // namespace glimmer
