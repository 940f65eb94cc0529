// The clipboard and the alert sound of a Qt desktop session.
#pragma once

#include "platform/interfaces/alert_sound.h"
#include "platform/interfaces/clipboard.h"

class QtClipboard : public Clipboard {
 public:
  void setText(const std::string& text) override;
};

class QtAlertSound : public AlertSound {
 public:
  void beep() override;
};
