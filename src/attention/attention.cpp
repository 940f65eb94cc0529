#include "attention/attention.h"

#include <utility>

namespace {

constexpr const char* kAssertionName = "Halomark attention signal";
// Input in the first seconds after a request is most likely what made the request.
constexpr double kStartGraceSeconds = 2.0;

}  // namespace

const Attention::Cadence& Attention::cadence(Prefs::SignalStyle style) {
  static const Cadence breathing{1.1, {600, 18}};
  static const Cadence doublePulse{0.55, {600, 18, 600, 18, 18, 18}};
  static const Cadence steady{1.0, {500}};
  switch (style) {
    case Prefs::SignalStyle::doublePulse: return doublePulse;
    case Prefs::SignalStyle::steady: return steady;
    case Prefs::SignalStyle::breathing: break;
  }
  return breathing;
}

Attention::Attention(LogoController& logo, Prefs prefs, Platform& platform,
                     std::function<void(bool)> onChange)
    : logo_(logo),
      prefs_(prefs),
      platform_(platform),
      onChange_(std::move(onChange)),
      startedAt_(platform.clock.now()) {}

Attention::~Attention() { cancelTimer(); }

void Attention::start(const std::optional<std::string>& message, std::optional<Prefs::SignalStyle> style) {
  Prefs::SignalStyle chosen = style.value_or(prefs_.signalStyle());
  message_ = message;
  startedAt_ = platform_.clock.now();
  if (isActive_ && activeStyle_ == chosen) return;

  cancelTimer();
  activeStyle_ = chosen;
  isActive_ = true;
  stepIndex_ = 0;
  if (prefs_.signalKeepDisplayOn() && displayAssertion_ == 0) keepDisplayOn();

  const Cadence& steps = cadence(activeStyle_);
  tickInterval_ = steps.stepSeconds;
  lastAppliedNits_ = steps.levels.front();
  setLevel(*lastAppliedNits_);
  scheduleTicks();
  if (onChange_) onChange_(true);
}

void Attention::stop() {
  if (!isActive_) return;
  cancelTimer();
  if (displayAssertion_ != 0) {
    platform_.userActivity.releaseAssertion(displayAssertion_);
    displayAssertion_ = 0;
  }
  isActive_ = false;
  message_.reset();
  lastAppliedNits_.reset();
  if (onChange_) onChange_(false);
}

void Attention::keepDisplayOn() {
  // Wakes a dimmed or sleeping display first; the assertion then keeps it awake.
  platform_.userActivity.declareUserActivity(kAssertionName);
  displayAssertion_ = platform_.userActivity.createDisplayAssertion(kAssertionName);
}

void Attention::scheduleTicks() {
  std::weak_ptr<char> alive = aliveToken_;
  timer_ = platform_.scheduler.every(tickInterval_, [this, alive] {
    if (alive.lock()) tick();
  });
}

void Attention::tick() {
  double elapsed = platform_.clock.now() - startedAt_;
  if (elapsed > timeLimitSeconds() || userIsBack(elapsed)) {
    stop();
    return;
  }
  const Cadence& steps = cadence(activeStyle_);
  stepIndex_ = (stepIndex_ + 1) % steps.levels.size();
  double level = steps.levels[stepIndex_];
  if (lastAppliedNits_ == level) return;
  lastAppliedNits_ = level;
  setLevel(level);
}

double Attention::timeLimitSeconds() const {
  // Read at every tick, so a changed preference takes effect on the running signal.
  return static_cast<double>(prefs_.value(PrefKeys::signalTimeoutMinutes)) * 60.0;
}

bool Attention::userIsBack(double elapsed) {
  if (elapsed <= kStartGraceSeconds) return false;
  // An unknown idle time never ends the signal: it stops only on evidence of the user.
  auto idle = platform_.userActivity.secondsSinceLastInput();
  return idle && *idle < tickInterval_;
}

void Attention::setLevel(double nits) {
  double v = logo_.scaled(nits);
  // No zero row: the level shows even when the display's brightness is 0.
  logo_.setTable(kMappingKey, {{0, v}, {LogoController::fltMax, v}});
  logo_.setTable(kMinRestrictionKey, LogoController::flatRestriction(0));
  logo_.setTable(kMaxRestrictionKey, LogoController::flatRestriction(1000));
  logo_.setMode(LogoController::Mode::tableDriven);
  logo_.nudgeDisplayBrightness();
}

void Attention::cancelTimer() {
  if (timer_) timer_->cancel();
  timer_.reset();
}
