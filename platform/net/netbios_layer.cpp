#include "net/netbios_layer.h"

#include <pthread.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <random>

#include "net/netbios_segment.h"

namespace vek::net {
namespace {

struct Layer {
  Layer() {
    std::random_device random;
    for (auto& byte : station) byte = static_cast<std::uint8_t>(random());
  }

  std::mutex lock;
  StationId station{};
  std::map<int, std::unique_ptr<NetbiosAdapter>> adapters;
  Layer* inherited = nullptr;  // the layers of the parent processes, kept reachable
};

std::atomic<Layer*> g_layer{nullptr};
Layer* g_inherited = nullptr;

void ForgetParentLayer() {
  // Only this thread exists in the child: nothing else touches the pointers.
  Layer* parent = g_layer.exchange(nullptr);
  if (parent == nullptr) return;
  parent->inherited = g_inherited;
  g_inherited = parent;
}

Layer& CurrentLayer() {
  static const bool forkHandled = [] { return ::pthread_atfork(nullptr, nullptr, ForgetParentLayer) == 0; }();
  (void)forkHandled;
  Layer* layer = g_layer.load();
  if (layer != nullptr) return *layer;
  auto* fresh = new Layer;  // lives until the process ends
  if (g_layer.compare_exchange_strong(layer, fresh)) return *fresh;
  delete fresh;
  return *layer;
}

}  // namespace

NetbiosAdapter& AdapterForLana(int lana) {
  Layer& layer = CurrentLayer();
  std::lock_guard guard(layer.lock);
  std::unique_ptr<NetbiosAdapter>& adapter = layer.adapters[lana];
  if (!adapter) adapter = std::make_unique<NetbiosAdapter>(lana, layer.station);
  return *adapter;
}

std::size_t PendingNcbsInLayer() {
  Layer& layer = CurrentLayer();
  std::lock_guard guard(layer.lock);
  std::size_t count = 0;
  for (auto& [lana, adapter] : layer.adapters) count += adapter->PendingCount();
  return count;
}

std::size_t PendingNcbCount() { return PendingNcbsInLayer(); }

}  // namespace vek::net
