#include "mounter/watcher.h"

#include <algorithm>

namespace ndek {

void RecheckSchedule::changed(std::int64_t now) {
  if (!first_) first_ = now;
  const std::int64_t settled = std::min(now + kSettleMs, *first_ + kLongestSettleMs);
  // A request for a look at once is not put off by a change.
  due_ = due_ && *due_ <= now ? *due_ : settled;
}

void RecheckSchedule::asked(std::int64_t now) { due_ = now; }

bool RecheckSchedule::take(std::int64_t now) {
  if (!due_ || *due_ > now) return false;
  due_.reset();
  first_.reset();
  return true;
}

Watcher::Watcher(PlatformServices& platform, const SettingsIo& io, float ver_data,
                 WatchTimer& timer)
    : platform_(platform), io_(io), ver_data_(ver_data), timer_(timer) {}

void Watcher::logged_on(LetterSet mapped) {
  mapped_ = mapped;
  busy_ = false;
  ++rests_;
  go_on();
}

void Watcher::changed() {
  schedule_.changed(platform_.NowMs());
  go_on();
}

void Watcher::asked() {
  schedule_.asked(platform_.NowMs());
  go_on();
}

void Watcher::timer() {
  timer_.disarm();
  go_on();
}

void Watcher::go_on() {
  if (busy_) return;
  while (schedule_.take(platform_.NowMs())) {
    busy_ = true;
    mapped_ = remount(platform_, io_, ver_data_, mapped_);
    busy_ = false;
    ++rests_;
  }
  if (const std::optional<std::int64_t> due = schedule_.due()) {
    timer_.arm(*due - platform_.NowMs());
  }
}

}  // namespace ndek
