// SPDX-License-Identifier: MIT
#include <glimmer/qt/led_sign.h>

#include <QAccessible>
#include <QMouseEvent>
#include <QResizeEvent>
#include <optional>

#include "control/geometry/led_design.h"
#include "control/interface/led_members.h"
#include "host/qt/control_widget.h"
#include "qt/widget/click_tracker.h"
#include "qt/widget/led_sign_accessible.h"
#include "qt/widget/led_sign_binding.h"

namespace glimmer::qt {

// The container widget fills the sign; the binding speaks to the control in Qt's types.
class LedSignPrivate {
 public:
  explicit LedSignPrivate(LedSign* sign);

  void Connect();
  void FitTo(QSize requested);
  void FollowView();
  void Noticed(const QString& member);
  void EventRaised(int event);
  void TimerChanged(const QString& name, bool running);

  LedSign* q;
  ControlWidget* view;
  std::optional<LedSignBinding> binding;
  bool fitting = false;
  ClickTracker clicks;
};

LedSignPrivate::LedSignPrivate(LedSign* sign) : q(sign), view(new ControlWidget(LED::Class(), sign)) {
  // A new sign, as a new control is: the defaults, then sited at its design size, which the size rule snaps.
  (void)view->InitNew();
  (void)view->Site();
  binding.emplace(*view);
  // The sign takes the mouse itself; the container only shows the pixels.
  view->setAttribute(Qt::WA_TransparentForMouseEvents);
  view->move(0, 0);
}

void LedSignPrivate::Connect() {
  QObject::connect(view, &ControlWidget::propertyChanged, q, [this](const QString& name) { Noticed(name); });
  QObject::connect(view, &ControlWidget::eventRaised, q, [this](int event) { EventRaised(event); });
  QObject::connect(view, &ControlWidget::timerChanged, q,
                   [this](const QString& name, bool running) { TimerChanged(name, running); });
  // The control set Enabled (a write by name, through the control, a restore): the widget follows.
  QObject::connect(view, &ControlWidget::enabledChanged, q, [this](bool on) { q->setEnabled(on); });
  view->installEventFilter(q);
}

// The control's notice of an accepted write, inside the write: NOTIFY when the value really changed.
void LedSignPrivate::Noticed(const QString& member) {
  const auto changed = binding->Noticed(member.toStdString());
  if (!changed) return;
  using Property = LedSignProperties::Property;
  switch (*changed) {
    case Property::Text:
      emit q->textChanged(binding->text());
      if (q->accessibleName().isEmpty()) {
        QAccessibleEvent event(q, QAccessible::NameChanged);
        LedSignAccessible::announce(&event);
      }
      break;
    case Property::Color:
      emit q->colorChanged(binding->color());
      break;
    case Property::Delay:
      emit q->delayChanged(binding->delay());
      break;
    case Property::Repeated:
      emit q->repeatedChanged(binding->repeated());
      break;
    case Property::BorderStyle:
      emit q->borderStyleChanged(binding->borderStyle());
      break;
    case Property::Enabled:
      // QWidget's own enabled has no NOTIFY; the widget follows through enabledChanged.
      break;
  }
}

void LedSignPrivate::EventRaised(int event) {
  if (event == kTerminateEvent) emit q->passFinished();
  if (event == kClickEvent) emit q->clicked();
  if (event == kDblClickEvent) emit q->doubleClicked();
}

void LedSignPrivate::TimerChanged(const QString& name, bool running) {
  if (name != QLatin1StringView(kTimerLED.data(), static_cast<qsizetype>(kTimerLED.size()))) return;
  emit q->scrollingChanged(running);
  QAccessible::State marqueed;
  marqueed.marqueed = true;
  QAccessibleStateChangeEvent event(q, marqueed);
  LedSignAccessible::announce(&event);
}

// A size asked of the sign from outside (resize(), a layout, Designer): the control's size rule decides,
// and the sign takes the size it gives.
void LedSignPrivate::FitTo(QSize requested) {
  if (fitting || requested == view->size()) return;
  fitting = true;
  (void)view->ResizeLogical(requested, view->devicePixelRatioF());
  fitting = false;
  FollowView();
}

void LedSignPrivate::FollowView() {
  if (q->size() != view->size()) q->resize(view->size());
  q->updateGeometry();
}

LedSign::LedSign(QWidget* parent) : QWidget(parent), d_(std::make_unique<LedSignPrivate>(this)) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFocusPolicy(Qt::NoFocus);
  resize(d_->view->size());
  d_->Connect();
  LedSignAccessible::InstallFactory();
}

LedSign::~LedSign() {
  // The container goes first, while the sign still stands, and tells it nothing more on the way.
  d_->view->removeEventFilter(this);
  d_->view->disconnect(this);
  d_->binding.reset();
  delete d_->view;
}

QString LedSign::text() const {
  return d_->binding->text();
}
void LedSign::setText(const QString& text) {
  (void)d_->binding->setText(text);
}

LedSign::Color LedSign::color() const {
  return d_->binding->color();
}
void LedSign::setColor(Color color) {
  (void)d_->binding->setColor(color);
}

int LedSign::delay() const {
  return d_->binding->delay();
}
void LedSign::setDelay(int milliseconds) {
  (void)d_->binding->setDelay(milliseconds);
}

bool LedSign::isRepeated() const {
  return d_->binding->repeated();
}
void LedSign::setRepeated(bool repeated) {
  (void)d_->binding->setRepeated(repeated);
}

int LedSign::borderStyle() const {
  return d_->binding->borderStyle();
}
void LedSign::setBorderStyle(int style) {
  (void)d_->binding->setBorderStyle(style);
}

bool LedSign::isScrolling() const {
  return d_->binding->scrolling();
}

bool LedSign::start() {
  // The control draws at the size it has when it starts. A hidden sign gets its resize events only when it
  // is shown, so the size it has been given (resize(), setMinimumWidth()) is taken now.
  d_->FitTo(size());
  return static_cast<bool>(d_->binding->start());
}

bool LedSign::clear() {
  return static_cast<bool>(d_->binding->clear());
}

bool LedSign::advance() {
  return d_->view->FireTimer(kTimerLED);
}

ControlWidget& LedSign::container() {
  return *d_->view;
}

QSize LedSign::sizeHint() const {
  return d_->view->sizeHint();
}

QSize LedSign::minimumSizeHint() const {
  return sizeHint();
}

void LedSign::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  d_->FitTo(event->size());
}

bool LedSign::eventFilter(QObject* watched, QEvent* event) {
  // The container's size follows the control (a resize, a screen of another pixel ratio): so does the sign.
  if (watched == d_->view && event->type() == QEvent::Resize && !d_->fitting) d_->FollowView();
  return QWidget::eventFilter(watched, event);
}

// The sign's own enabled state (not one it has from a disabled parent) is the control's Enabled.
void LedSign::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    const bool own = !testAttribute(Qt::WA_ForceDisabled);
    if (own != d_->binding->enabled()) (void)d_->binding->setEnabled(own);
  }
  QWidget::changeEvent(event);
}

void LedSign::mousePressEvent(QMouseEvent* event) {
  d_->clicks.Press(event->button() == Qt::LeftButton);
  event->accept();
}

void LedSign::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (d_->clicks.Release(event->button() == Qt::LeftButton, rect().contains(event->position().toPoint())))
    emit clicked();
}

void LedSign::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (d_->clicks.DoubleClick(event->button() == Qt::LeftButton)) emit doubleClicked();
}

}  // namespace glimmer::qt
