// SPDX-License-Identifier: MIT
#include "demo/qt/form_glimmer_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "host/base/try.h"

namespace glimmer {
namespace {

Qt::WindowFlags FlagsFor(const FormDescription& form) {
  // Only the buttons asked for: a customised title bar starts with none.
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (form.min_button) flags |= Qt::WindowMinimizeButtonHint;
  if (form.max_button) flags |= Qt::WindowMaximizeButtonHint;
  if (form.border == FormBorder::FixedSingle) flags |= Qt::MSWindowsFixedSizeDialogHint;
  return flags;
}

}  // namespace

FormGlimmerWindow::FormGlimmerWindow(const FormDescription& form)
    : QWidget(nullptr, FlagsFor(form)), led1_(new qt::ControlWidget(LED::Class(), this)) {
  setObjectName("FormGlimmer");
  led1_->setObjectName("LED1");
  setWindowTitle(QString::fromStdString(form.caption));
}

Result<std::unique_ptr<FormGlimmerWindow>> FormGlimmerWindow::Create(const FormDescription& form,
                                                                     const Overrides& overrides) {
  std::unique_ptr<FormGlimmerWindow> window(new FormGlimmerWindow(form));
  TRY(BuildLed1(*window->led1_, form.led1, overrides));
  window->Arrange(form);
  return window;
}

void FormGlimmerWindow::Arrange(const FormDescription& form) {
  const ClientArea area = ClientAreaFor(form, led1_->width_pixels(), led1_->height_pixels());
  led1_->move(area.left, area.top);
  if (form.border == FormBorder::FixedSingle)
    setFixedSize(area.width, area.height);
  else
    resize(area.width, area.height);
  if (form.start_up_position == StartUpPosition::CenterScreen) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect free = screen->availableGeometry();
      move(free.x() + (free.width() - area.width) / 2, free.y() + (free.height() - area.height) / 2);
    }
  }
}

Status FormGlimmerWindow::Load() {
  return Form_Load(led1_->control());
}

void FormGlimmerWindow::closeEvent(QCloseEvent* event) {
  if (!unloaded_) {
    std::int16_t cancel = 0;
    unload_status_ = Form_Unload(led1_->control(), cancel);
    if (cancel != 0) {
      event->ignore();
      return;
    }
    unloaded_ = true;
    // Clear has stopped the timer; this holds even if Clear failed half-way: no tick after Form_Unload.
    led1_->StopTimers();
  }
  event->accept();
}

}  // namespace glimmer
