#include "models/site_simulation.h"

#include <cstdio>

namespace torv::history {
namespace {

constexpr std::int64_t kWeekSeconds = 7 * 24 * 3600;

}  // namespace

SiteSimulation::SiteSimulation(const SiteOptions& options) : options_(options) {
  for (int device = 0; device < options.devices; ++device) {
    SimulationOptions simulation;
    simulation.seed = 7000 + static_cast<std::uint32_t>(device);
    simulation.startUnixSeconds = options.startUnixSeconds;
    // Steps of 1 to this many seconds make a week of eventsPerWeek events.
    simulation.maxStepSeconds = static_cast<int>(2 * kWeekSeconds / options.eventsPerWeek);
    devices_.push_back({SimulatedDevice(simulation), {}, 0});
  }
}

std::string SiteSimulation::DeviceName(int device) {
  char name[24];
  std::snprintf(name, sizeof name, "site %02d", device + 1);
  return name;
}

void SiteSimulation::RunWeeks(int weeks, const CopySink& sink) {
  for (int end = week_ + weeks; week_ < end; ++week_) {
    for (std::size_t d = 0; d < devices_.size(); ++d) {
      Device& device = devices_[d];
      device.simulated.Write(options_.eventsPerWeek);
      const int phase = (week_ + 17 * static_cast<int>(d)) % options_.pauseEvery;
      if (week_ > 0 && phase < options_.pauseWeeks) continue;
      const std::size_t first = device.simulated.CopyStart();
      const std::size_t end = device.simulated.Written().size();
      // A copy that shares an event with the last one joins its stretch; one
      // that shares none starts a new stretch, even right next to it.
      if (!device.held.empty() && first < device.held.back().second) {
        device.held.back().second = end;
      } else {
        device.held.emplace_back(first, end);
      }
      ++device.copies;
      sink(DeviceName(static_cast<int>(d)), device.simulated);
    }
  }
}

std::vector<SiteDeviceTotals> SiteSimulation::Totals() const {
  std::vector<SiteDeviceTotals> totals;
  for (std::size_t d = 0; d < devices_.size(); ++d) {
    const Device& device = devices_[d];
    if (device.held.empty()) continue;
    SiteDeviceTotals total;
    total.name = DeviceName(static_cast<int>(d));
    total.copies = device.copies;
    total.gaps = static_cast<std::int64_t>(device.held.size()) - 1;
    const auto& written = device.simulated.Written();
    const auto& years = device.simulated.WrittenYears();
    for (const auto& [first, end] : device.held) {
      total.events += static_cast<std::int64_t>(end - first);
      for (std::size_t k = first; k < end; ++k) {
        if (!years[k]) continue;
        if (!total.firstDated) {
          total.firstDated = written[k];
          total.firstYear = years[k];
        }
        total.lastDated = written[k];
        total.lastYear = years[k];
      }
    }
    totals.push_back(std::move(total));
  }
  return totals;
}

}  // namespace torv::history
