// A site: simulated devices copied once a week, each now and then missing
// copies long enough for its ring to overrun, which leaves a gap in its
// history. Gives the copies in the order the site takes them, and what the
// history must hold afterwards, for the tests and the site benchmark alike.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "models/device_simulation.h"

namespace torv::history {

struct SiteOptions {
  int devices = 31;
  int eventsPerWeek = 600;
  // Each device misses `pauseWeeks` copies in a row once in `pauseEvery`
  // weeks (devices at different weeks); pauseWeeks * eventsPerWeek beyond the
  // ring's 1024 records leaves a gap.
  int pauseEvery = 130;
  int pauseWeeks = 2;
  // The devices' clocks at the start, UTC.
  std::int64_t startUnixSeconds = SimulationOptions{}.startUnixSeconds;
};

// What the history of one device must hold.
struct SiteDeviceTotals {
  std::string name;
  std::int64_t events = 0;
  std::int64_t copies = 0;
  std::int64_t gaps = 0;
  std::optional<ArchiveRecord> firstDated;  // the oldest event with a year
  std::optional<int> firstYear;
  std::optional<ArchiveRecord> lastDated;
  std::optional<int> lastYear;
};

class SiteSimulation {
 public:
  explicit SiteSimulation(const SiteOptions& options);

  // A device at the moment of a copy: its CopyNow() or ArchiveBytes().
  using CopySink = std::function<void(const std::string& device, const SimulatedDevice& now)>;
  // Runs the site on for `weeks` weeks: each week every device writes its
  // events and, unless it pauses, is copied; `sink` gets the copies in order.
  void RunWeeks(int weeks, const CopySink& sink);

  // What the histories hold after every copy given so far, by device name.
  std::vector<SiteDeviceTotals> Totals() const;
  static std::string DeviceName(int device);

 private:
  struct Device {
    SimulatedDevice simulated;
    // Written() indices [first, end) that some copy held, merged in order.
    std::vector<std::pair<std::size_t, std::size_t>> held;
    std::int64_t copies = 0;
  };
  SiteOptions options_;
  std::vector<Device> devices_;
  int week_ = 0;
};

}  // namespace torv::history
