// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace meridal::platform {

// One call from a host into its controller, counted for as long as it runs: what the host does
// once the controller is done (catching its lists up, letting go of held controls) waits for
// the outermost call to return.
class CallDepth {
  public:
    explicit CallDepth(int& depth) : m_depth(depth) { ++m_depth; }
    ~CallDepth() { --m_depth; }
    CallDepth(const CallDepth&) = delete;
    CallDepth& operator=(const CallDepth&) = delete;

  private:
    int& m_depth;
};

} // namespace meridal::platform
