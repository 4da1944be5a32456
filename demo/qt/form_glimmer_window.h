// SPDX-License-Identifier: MIT
// FormGlimmer as a Qt window: the caption, frame and buttons of its description, a client area of the
// stored size (grown around a wider LED1), centred on the screen at start, and LED1 hosted in a
// ControlWidget at its stored place. Closing the window runs Form_Unload, which stops the sign before the
// window goes away.
#pragma once

#include <QWidget>
#include <memory>

#include "demo/form/form_description.h"
#include "demo/form/form_glimmer.h"
#include "host/qt/control_widget.h"

namespace glimmer {

class FormGlimmerWindow final : public QWidget {
  Q_OBJECT

 public:
  // Creates the window and builds LED1 in it (restore, overrides, size rule); the error of a step that
  // failed.
  [[nodiscard]] static Result<std::unique_ptr<FormGlimmerWindow>> Create(const FormDescription& form,
                                                                         const Overrides& overrides);

  // Form_Load, to be run before the window is shown.
  [[nodiscard]] Status Load();

  [[nodiscard]] qt::ControlWidget& LED1() { return *led1_; }
  // The error Form_Unload returned, if it failed.
  [[nodiscard]] const Status& unload_status() const { return unload_status_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  explicit FormGlimmerWindow(const FormDescription& form);
  void Arrange(const FormDescription& form);

  qt::ControlWidget* led1_;  // a child widget: Qt deletes it with the window
  bool unloaded_ = false;
  Status unload_status_;
};

}  // namespace glimmer
