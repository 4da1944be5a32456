// SPDX-License-Identifier: MIT
// The Qt Designer plugin for glimmer::qt::LedSign: the sign in Designer's widget box (group "Glimmer"), its
// properties in the property editor with the control's descriptions as tool tips, grouped by the control's
// categories, and signs that scroll in Designer's forms and previews. QUiLoader loads forms through the
// same plugin; there the signs are plain LedSigns that the application starts itself.
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace glimmer::qt {

class LedSignPlugin : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QDesignerCustomWidgetInterface_iid)
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  explicit LedSignPlugin(QObject* parent = nullptr);

  [[nodiscard]] QString name() const override;
  [[nodiscard]] QString group() const override;
  [[nodiscard]] QString toolTip() const override;
  [[nodiscard]] QString whatsThis() const override;
  [[nodiscard]] QString includeFile() const override;
  [[nodiscard]] QIcon icon() const override;
  [[nodiscard]] bool isContainer() const override;
  [[nodiscard]] QString domXml() const override;

  QWidget* createWidget(QWidget* parent) override;

  // Called by Qt Designer only (QUiLoader does not): from then on the plugin serves Designer.
  [[nodiscard]] bool isInitialized() const override;
  void initialize(QDesignerFormEditorInterface* core) override;

 private:
  QDesignerFormEditorInterface* core_ = nullptr;
};

}  // namespace glimmer::qt
