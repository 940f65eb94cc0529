#include "updates/notification_update_driver.h"

namespace {

std::string withLink(std::string body, const std::string& link) {
  return link.empty() ? body : body + "\n" + link;
}

}  // namespace

void NotificationUpdateDriver::showCheck(const UpdateCheckState& state) {
  if (state.kind == UpdateCheckState::Kind::checking) return;
  auto content = UpdateCheck::dialogContent(state, currentDisplayVersion_);
  notifications_.show(content.headline, withLink(content.body, content.downloadLink));
}

void NotificationUpdateDriver::remindGently(const AppcastItem& update) {
  auto content = UpdateCheck::reminderContent(update);
  notifications_.show(content.headline, content.body);
}
