#include "ui/terminal/axis_fit.h"

#include <algorithm>
#include <cmath>

namespace vek::ui::terminal {
namespace {

struct Edge {
  std::size_t other;
  int cells;
};

// The earliest cell of each point: after the one before it by at least
// `steps[i]`, and after each point it is required to follow.
std::vector<int> Earliest(const std::vector<int>& steps, const std::vector<std::vector<Edge>>& before) {
  std::vector<int> cells(steps.size(), 0);
  for (std::size_t i = 1; i < cells.size(); ++i) {
    int at = cells[i - 1] + steps[i];
    for (const Edge& e : before[i]) at = std::max(at, cells[e.other] + e.cells);
    cells[i] = at;
  }
  return cells;
}

}  // namespace

AxisFit::AxisFit(int pixelsPerCell, double scale) : m_pixelsPerCell(pixelsPerCell), m_scale(std::max(scale, 1.0)) {}

void AxisFit::AddPoint(int px) { m_points.push_back(px); }

void AxisFit::Require(int fromPx, int toPx, int cells) {
  AddPoint(fromPx);
  AddPoint(toPx);
  if (toPx > fromPx && cells > 0) m_requirements.push_back(Requirement{fromPx, toPx, cells});
}

AxisFit::Result AxisFit::Fit(int available) const {
  std::vector<int> points = m_points;
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  Result result;
  if (points.empty()) return result;
  const std::size_t n = points.size();
  auto index = [&](int px) {
    return static_cast<std::size_t>(std::lower_bound(points.begin(), points.end(), px) - points.begin());
  };
  std::vector<std::vector<Edge>> before(n), after(n);
  for (const Requirement& r : m_requirements) {
    before[index(r.to)].push_back(Edge{index(r.from), r.cells});
    after[index(r.from)].push_back(Edge{index(r.to), r.cells});
  }
  // Full size: each point's share of the pixels, rounded where it falls so that
  // the stretches add up without drifting.
  const double cellPx = m_pixelsPerCell * m_scale;
  std::vector<int> fullSteps(n, 0), noSteps(n, 0);
  for (std::size_t i = 1; i < n; ++i)
    fullSteps[i] = static_cast<int>(std::lround((points[i] - points[0]) / cellPx)) -
                   static_cast<int>(std::lround((points[i - 1] - points[0]) / cellPx));
  const std::vector<int> full = Earliest(fullSteps, before);
  const std::vector<int> tight = Earliest(noSteps, before);

  std::vector<int> cells = tight;
  result.fits = tight.back() <= available;
  if (result.fits) {
    // The latest cell of each point that still leaves the rest their requirements
    // before the end; each point then as near its full-size share as it may be.
    const int extent = std::min(available, full.back());
    std::vector<int> latest(n, extent);
    for (std::size_t i = n - 1; i-- > 0;) {
      int at = latest[i + 1];
      for (const Edge& e : after[i]) at = std::min(at, latest[e.other] - e.cells);
      latest[i] = at;
    }
    const double shrink = full.back() > 0 ? static_cast<double>(extent) / full.back() : 1.0;
    for (std::size_t i = 0; i < n; ++i) {
      int lowest = i == 0 ? 0 : cells[i - 1];
      for (const Edge& e : before[i]) lowest = std::max(lowest, cells[e.other] + e.cells);
      int wanted = static_cast<int>(std::lround(full[i] * shrink));
      cells[i] = std::clamp(wanted, lowest, std::max(lowest, latest[i]));
    }
  }
  // The first point lies where full size puts it, so the axis keeps its origin.
  const int origin = static_cast<int>(std::lround(points.front() / cellPx));
  for (std::size_t i = 0; i < n; ++i) result.points.push_back(AxisMap::Point{points[i], cells[i] + origin});
  result.extent = result.points.back().cell;
  return result;
}

}  // namespace vek::ui::terminal
