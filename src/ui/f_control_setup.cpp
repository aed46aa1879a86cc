// The control panel's Setup page: the preset list, the fields of the
// current preset with their edit colouring, Add and Del, the colour panels,
// the rule applied when the operator leaves the page with changes, and
// beside the flow meter's port the device that COM port stands for.
#include <QColorDialog>
#include <QListWidget>
#include <QMenu>
#include <cmath>
#include <filesystem>

#include "core/messages.h"
#include "core/own_texts.h"
#include "core/paths.h"
#include "link/port_setup.h"
#include "recording/channel.h"
#include "recording/panel_rules.h"
#include "ui/colours.h"
#include "ui/f_control.h"
#include "ui/f_mesage.h"
#include "ui/f_monitor.h"
#include "ui/modal.h"
#include "ui/text_fields.h"
#include "ui/windows.h"
#include "ui_f_control.h"

namespace vexa::ui {

namespace {

constexpr int kMaxNumberText = 15;

}  // namespace

void TF_CONTROL::ConnectSetupPage() {
  LimitLineEdit(*ui_->pNAME, static_cast<int>(kPresetTextMax));
  LimitLineEdit(*ui_->pDESCR, static_cast<int>(kPresetTextMax));
  for (QLineEdit* number :
       {ui_->pPORTFLOWN, ui_->pPORTAIRO, ui_->pAPRESS, ui_->pTENV, ui_->pMASS, ui_->pPOWER})
    number->setMaxLength(kMaxNumberText);
  for (QLineEdit* edit : {ui_->pNAME, ui_->pDESCR, ui_->pPORTFLOWN, ui_->pPORTAIRO, ui_->pAPRESS,
                          ui_->pTENV, ui_->pMASS, ui_->pPOWER}) {
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { SetupFieldChanged(edit); });
  }
  connect(ui_->pPORTFLOWN, &QLineEdit::textChanged, this, &TF_CONTROL::ShowComDevice);
  for (QCheckBox* box :
       {ui_->cbVO2t, ui_->cbVes, ui_->cbO2, ui_->cbT, ui_->cbV, ui_->cbF, ui_->cbM})
    connect(box, &QCheckBox::toggled, this, [this] { SetupFieldChanged(nullptr); });
  QPushButton* const panels[kChannelCount] = {ui_->bVO2TColor, ui_->bVesColor, ui_->bO2Color,
                                              ui_->bTColor,    ui_->bVColor,   ui_->bFColor,
                                              ui_->bMColor};
  for (int c = 0; c < kChannelCount; ++c) {
    // A flat panel filled with its colour: the style's bevel would draw the
    // colour lightened by its gradient (0x00FF00 as rgb(98,252,98)).
    panels[c]->setFlat(true);
    panels[c]->setAutoFillBackground(true);
    connect(panels[c], &QPushButton::clicked, this, [this, c] { ColourPanelClick(c); });
  }
  connect(ui_->lbPSET, &QListWidget::currentRowChanged, this, &TF_CONTROL::lbPSETClick);
  connect(ui_->bADDPRESET, &QPushButton::clicked, this, &TF_CONTROL::bADDPRESETClick);
  connect(ui_->bDELPRESET, &QPushButton::clicked, this, &TF_CONTROL::bDELPRESETClick);
  PageLeaveCheck = [this](int from, int) { return SetupPageLeave(from); };

  auto* devices = new QMenu(ui_->bCOMDEVICE);
  devices->setObjectName(QStringLiteral("ComDeviceMenu"));
  ui_->bCOMDEVICE->setMenu(devices);
  // The devices present now: an adapter may have been plugged in since.
  connect(devices, &QMenu::aboutToShow, this, [this, devices] {
    devices->clear();
    const std::vector<SerialDevice> found =
        FindDevices ? FindDevices() : std::vector<SerialDevice>{};
    if (found.empty()) {
      devices
          ->addAction(QString::fromStdString(
              OwnText(Own::kNoSerialDevices, settings_.AppliedLanguage)))
          ->setEnabled(false);
    }
    for (const SerialDevice& d : found) {
      const QString text =
          QString::fromStdString(d.path) +
          (d.detail.empty() ? QString()
                            : QStringLiteral("  (%1)").arg(QString::fromStdString(d.detail)));
      connect(devices->addAction(text), &QAction::triggered, this,
              [this, d] { ChooseComDevice(d); });
    }
  });
}

// --- the list and the fields ----------------------------------------------------------

void TF_CONTROL::FillPresetList() {
  const QSignalBlocker quiet(ui_->lbPSET);
  ui_->lbPSET->clear();
  const TPresets& presets = *Channel->Presets;
  for (int i = 0; i < presets.Count; ++i)
    ui_->lbPSET->addItem(QString::fromStdString(presets.Items[i]->Name));
  ui_->lbPSET->setCurrentRow(presets.Current);
}

void TF_CONTROL::lbPSETClick(int row) {
  if (!Channel || row < 0 || row == Channel->Presets->Current) return;
  // Changes to the preset shown before are dropped.
  Channel->Presets->Current = row;
  Modified = false;
  ShowPreset();
}

void TF_CONTROL::ShowPreset() {
  if (!Channel) return;
  const TPresets& presets = *Channel->Presets;
  const TPreset& p = *presets.Items[presets.Current];
  EditFontColor = Qt::black;
  ui_->pNAME->setText(QString::fromStdString(p.Name));
  ui_->pDESCR->setText(QString::fromStdString(p.Description));
  ui_->pPORTFLOWN->setText(QString::number(p.FlownPort));
  ui_->pPORTAIRO->setText(QString::number(p.AiroPort));
  ui_->pAPRESS->setText(FieldNumber(p.AtmPressure));
  ui_->pTENV->setText(FieldNumber(p.AirTemperature));
  ui_->pMASS->setText(FieldNumber(p.BodyMass));
  ui_->pPOWER->setText(FieldNumber(p.Humidity));
  PaintEditFonts();  // also the fields whose text stayed the same
  QCheckBox* const visible[kChannelCount] = {ui_->cbVO2t, ui_->cbVes, ui_->cbO2, ui_->cbT,
                                             ui_->cbV,    ui_->cbF,   ui_->cbM};
  QPushButton* const panels[kChannelCount] = {ui_->bVO2TColor, ui_->bVesColor, ui_->bO2Color,
                                              ui_->bTColor,    ui_->bVColor,   ui_->bFColor,
                                              ui_->bMColor};
  for (int c = 0; c < kChannelCount; ++c) {
    visible[c]->setChecked(p.Visible[c]);
    panelColours_[c] = p.Color[c];
    SetColour(*panels[c], QPalette::Button, FromBgr(p.Color[c]));
  }
  // The displays show V, M and F in their channels' colours.
  const std::pair<QLabel*, int> displays[] = {{ui_->lVO2t, kV}, {ui_->lM, kM}, {ui_->lO2, kF}};
  for (const auto& [display, c] : displays)
    SetColour(*display, QPalette::WindowText, FromBgr(p.Color[c]));
  Modified = false;
  UpdatePresetButtons();
  EditFontColor = Qt::blue;
  Channel->BuildChart();
  // The chart is empty now: there is no recording to print or to picture.
  commands_.Print->setEnabled(false);
  commands_.Image->setEnabled(false);
  monitor_.RefreshChart();
}

void TF_CONTROL::UpdatePresetButtons() {
  ui_->bADDPRESET->setEnabled(Modified);
  ui_->bDELPRESET->setEnabled(ui_->lbPSET->currentRow() != 0 && !Modified);
}

void TF_CONTROL::PaintEditFonts() {
  for (QLineEdit* edit : {ui_->pNAME, ui_->pDESCR, ui_->pPORTFLOWN, ui_->pPORTAIRO, ui_->pAPRESS,
                          ui_->pTENV, ui_->pMASS, ui_->pPOWER})
    SetColour(*edit, QPalette::Text, EditFontColor);
}

void TF_CONTROL::SetupFieldChanged(QWidget* edit) {
  Modified = true;
  UpdatePresetButtons();
  if (edit) SetColour(*edit, QPalette::Text, EditFontColor);
}

void TF_CONTROL::ColourPanelClick(int channel) {
  QColorDialog dialog(FromBgr(panelColours_[channel]), this);
  dialog.setObjectName(QStringLiteral("ColorDialog"));
  if (RunModal(dialog) == QDialog::Accepted && dialog.currentColor().isValid()) {
    panelColours_[channel] = ToBgr(dialog.currentColor());
    QPushButton* const panels[kChannelCount] = {ui_->bVO2TColor, ui_->bVesColor, ui_->bO2Color,
                                                ui_->bTColor,    ui_->bVColor,   ui_->bFColor,
                                                ui_->bMColor};
    SetColour(*panels[channel], QPalette::Button, dialog.currentColor());
  }
  // Also after a cancel, as the operator may expect a change to be pending.
  SetupFieldChanged(nullptr);
}

// --- storing ---------------------------------------------------------------------------

std::optional<TPreset> TF_CONTROL::PresetFromFields() {
  TPreset p;
  p.Name = ui_->pNAME->text().toStdString();
  p.Description = ui_->pDESCR->text().toStdString();
  const QLocale locale = FieldLocale();
  // Every field converts before anything is stored.
  auto refuse = [this](const QLineEdit& edit) {
    ShowErrorBox(
        QString::fromStdString(OwnText(Own::kNotANumber, settings_.AppliedLanguage)) +
        QLatin1Char('"') + edit.text() + QLatin1Char('"'));
    return std::nullopt;
  };
  const std::pair<QLineEdit*, int32_t*> ports[] = {{ui_->pPORTFLOWN, &p.FlownPort},
                                                   {ui_->pPORTAIRO, &p.AiroPort}};
  for (const auto& [edit, field] : ports) {
    bool ok = false;
    *field = edit->text().trimmed().toInt(&ok, 10);
    if (!ok) return refuse(*edit);
  }
  const std::pair<QLineEdit*, double*> numbers[] = {{ui_->pAPRESS, &p.AtmPressure},
                                                    {ui_->pTENV, &p.AirTemperature},
                                                    {ui_->pMASS, &p.BodyMass},
                                                    {ui_->pPOWER, &p.Humidity}};
  for (const auto& [edit, field] : numbers) {
    bool ok = false;
    *field = locale.toDouble(edit->text().trimmed(), &ok);
    // A number that is not finite would be written into every header.
    if (!ok || !std::isfinite(*field)) return refuse(*edit);
  }
  QCheckBox* const visible[kChannelCount] = {ui_->cbVO2t, ui_->cbVes, ui_->cbO2, ui_->cbT,
                                             ui_->cbV,    ui_->cbF,   ui_->cbM};
  for (int c = 0; c < kChannelCount; ++c) {
    p.Visible[c] = visible[c]->isChecked();
    p.Color[c] = panelColours_[c];
  }
  return p;
}

bool TF_CONTROL::StorePreset() {
  if (!Channel) return false;
  std::optional<TPreset> p = PresetFromFields();
  if (!p) return false;
  TPresets& presets = *Channel->Presets;
  *presets.Items[presets.Current] = std::move(*p);
  Modified = false;
  return true;
}

void TF_CONTROL::bADDPRESETClick() {
  if (!Channel) return;
  TPresets& presets = *Channel->Presets;
  const int lang = settings_.AppliedLanguage;
  if (HasPresetNamed(presets, ui_->pNAME->text().toStdString())) {
    if (F_MESAGE) F_MESAGE->ShowMesage(7);
    return;
  }
  if (presets.Count >= kMaxPresets) {
    if (F_MESAGE) F_MESAGE->ShowText(OwnText(Own::kPresetsFull, lang));
    return;
  }
  // The fields convert first, so a refused number adds nothing.
  std::optional<TPreset> p = PresetFromFields();
  if (!p) return;
  presets.AddDefault();
  *presets.Items[presets.Current] = std::move(*p);
  {
    const QSignalBlocker quiet(ui_->lbPSET);
    ui_->lbPSET->addItem(QString::fromStdString(presets.Items[presets.Current]->Name));
    ui_->lbPSET->setCurrentRow(presets.Current);
  }
  ShowPreset();
}

void TF_CONTROL::bDELPRESETClick() {
  if (!Channel || Modified) return;
  TPresets& presets = *Channel->Presets;
  const int row = ui_->lbPSET->currentRow();
  if (row <= 0 || row != presets.Current) return;
  presets.Remove(row);
  {
    const QSignalBlocker quiet(ui_->lbPSET);
    delete ui_->lbPSET->takeItem(row);
    ui_->lbPSET->setCurrentRow(presets.Current);
  }
  ShowPreset();
}

bool TF_CONTROL::SetupPageLeave(int from) {
  if (from != kTabPreset || !Modified || !Channel) return true;
  if (Channel->Presets->Current == 0) {
    // "Default" never changes: add a preset, or choose another to drop the edit.
    if (F_MESAGE) F_MESAGE->ShowMesage(8);
    return false;
  }
  if (!StorePreset()) return false;
  const TPresets& presets = *Channel->Presets;
  if (QListWidgetItem* item = ui_->lbPSET->item(presets.Current))
    item->setText(QString::fromStdString(presets.Items[presets.Current]->Name));
  ShowPreset();  // the fields black again, the chart rebuilt from the stored preset
  return true;
}

// --- the flow meter's device ------------------------------------------------------------

std::string TF_CONTROL::SettingsFolder() const {
  return ParentFolder(settings_.ConfigPath);
}

void TF_CONTROL::ShowComDevice() {
  const int lang = settings_.AppliedLanguage;
  bool ok = false;
  const int n = ui_->pPORTFLOWN->text().trimmed().toInt(&ok, 10);
  const bool port = ok && n >= 1;
  ui_->bCOMDEVICE->setEnabled(port);
  ui_->bCOMDEVICE->setToolTip(QString::fromStdString(OwnText(Own::kChooseDevice, lang)));
  const QString text =
      port ? QString::fromStdString(DescribeComPort(n, ResolveComPort(n, SettingsFolder()), lang))
           : QString();
  ui_->lCOMDEVICE->setText(text);
  ui_->lCOMDEVICE->setToolTip(text);
}

void TF_CONTROL::ChooseComDevice(const SerialDevice& device) {
  bool ok = false;
  const int n = ui_->pPORTFLOWN->text().trimmed().toInt(&ok, 10);
  if (!ok) return;
  const FileResult r = WriteComPortDevice(n, device.path, SettingsFolder());
  if (!r.ok && F_MESAGE)
    F_MESAGE->ShowText(MessageText(1, settings_.AppliedLanguage) + r.Text(settings_.AppliedLanguage));
  ShowComDevice();
}

}  // namespace vexa::ui
