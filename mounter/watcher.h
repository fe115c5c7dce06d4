#pragma once
// The watching mounter's logic: after the log-on run it waits for the session to come back
// (resume, unlock, a network change) and then, once things have settled, quietly maps what is
// still missing. Between events it keeps nothing running.
#include <cstdint>
#include <optional>

#include "mounter/mount_run.h"

namespace ndek {

// A change is looked at this long after the last of a burst of changes, so that the network
// has come up by then...
constexpr std::int64_t kSettleMs = 5000;
// ...but a burst that never ends does not put the look off for longer than this.
constexpr std::int64_t kLongestSettleMs = 30000;

// When the next look is due: changes are gathered until they have settled; a request looks
// at once.
class RecheckSchedule {
 public:
  void changed(std::int64_t now);
  void asked(std::int64_t now);
  // When the pending look is due; nothing when none is pending.
  std::optional<std::int64_t> due() const { return due_; }
  // True, and no longer pending, when a look is due at `now`.
  bool take(std::int64_t now);

 private:
  std::optional<std::int64_t> first_;  // the first change of the pending burst
  std::optional<std::int64_t> due_;
};

// A one-shot timer of the watcher's window, armed only while a look is pending.
class WatchTimer {
 public:
  virtual ~WatchTimer() = default;
  virtual void arm(std::int64_t in_ms) = 0;
  virtual void disarm() = 0;
};

class Watcher {
 public:
  Watcher(PlatformServices& platform, const SettingsIo& io, float ver_data, WatchTimer& timer);

  // The log-on run is over and left these letters mapped; until then changes only gather.
  void logged_on(LetterSet mapped);
  void changed();  // the session came back or the network changed
  void asked();    // someone asks for a look now
  void timer();    // the timer went off
  // True while a look or the log-on run is under way.
  bool busy() const { return busy_; }
  LetterSet mapped() const { return mapped_; }
  // How many times the watcher has gone back to waiting: after the log-on run and each look.
  int rests() const { return rests_; }

 private:
  // Looks as often as one is due, then arms the timer for the next pending one. Changes that
  // come during a look (it waits for its commands) are looked at after it.
  void go_on();

  PlatformServices& platform_;
  const SettingsIo& io_;
  float ver_data_;
  WatchTimer& timer_;
  RecheckSchedule schedule_;
  LetterSet mapped_ = 0;
  bool busy_ = true;
  int rests_ = 0;
};

}  // namespace ndek
