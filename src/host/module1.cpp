#include "host/module1.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSaveFile>
#include <QSettings>
#include <QWidget>

#include "host/apptitle.h"
#include "host/configfile.h"
#include "host/dlgoptions.h"
#include "host/frmlogin.h"
#include "host/frmmain.h"
#include "host/frmsplash.h"
#include "host/mapcommands.h"

namespace orvenda {

Module1::Module1(Interaction& ui, QString configFolder, QString programFolder)
    : ui_(ui), configFolder_(std::move(configFolder)), programFolder_(std::move(programFolder)) {}

Module1::~Module1() = default;

QString Module1::ConfigPath() const {
  return QDir(configFolder_).filePath(QStringLiteral("ov.cfg"));
}

bool Module1::IsGuest() const { return IsGuestUser(UserName.toStdString()); }

void Module1::ReadConfig() {
  ConnectionSettings settings =
      DefaultSettings(QDir::toNativeSeparators(programFolder_).toStdString());
  QFile file(ConfigPath());
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray text = file.readAll();
    if (auto read = ParseConfig(
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())))) {
      settings = *read;
    }
  }
  ServerHost = QString::fromStdString(settings.ServerHost);
  ServerPort = QString::fromStdString(settings.ServerPort);
  ImageFolder = QString::fromStdString(settings.ImageFolder);
}

bool Module1::WriteConfig() {
  const std::string text =
      FormatConfig({ServerHost.toStdString(), ServerPort.toStdString(), ImageFolder.toStdString()});
  // Written aside and moved into place, so that a failed write never leaves a
  // cut file behind.
  QSaveFile file(ConfigPath());
  if (file.open(QIODevice::WriteOnly) &&
      file.write(text.data(), static_cast<qint64>(text.size())) ==
          static_cast<qint64>(text.size()) &&
      file.commit()) {
    return true;
  }
  ui_.MessageBox("No se pudo guardar la configuración en " +
                     QDir::toNativeSeparators(ConfigPath()).toStdString(),
                 kApplicationTitle, MessageIcon::Exclamation, MessageButtons::Ok);
  return false;
}

std::int16_t Module1::EditConnectionOptions() {
  dlgOptions dialog;
  dialog.txtURL->setText(ServerHost);
  dialog.txtPort->setText(ServerPort);
  dialog.txtImagePath->setText(ImageFolder);
  ui_.ShowModal(dialog);
  std::int16_t result = 0;
  if (!dialog.Cancelled) {
    const ConnectionSettings before{ServerHost.toStdString(), ServerPort.toStdString(),
                                    ImageFolder.toStdString()};
    ServerHost = dialog.txtURL->text();
    ServerPort = dialog.txtPort->text();
    ImageFolder = dialog.txtImagePath->text();
    result = static_cast<std::int16_t>(ConnectionOptionsResult(
        before, {ServerHost.toStdString(), ServerPort.toStdString(), ImageFolder.toStdString()}));
    WriteConfig();
  }
  return result;
}

std::int16_t Module1::WindowSizeState(const QWidget* window) {
  if (window == nullptr) return 0;
  // A minimized window may remember that it was maximized; it counts as minimized.
  if (window->isMinimized()) return -1;
  if (window->isMaximized()) return 1;
  return 0;
}

QString Module1::SettingsPath() const {
  return QDir(configFolder_).filePath(QStringLiteral("OrvendaDesk.ini"));
}

QString Module1::RememberedUserName() const {
  return QSettings(SettingsPath(), QSettings::IniFormat).value("login/user").toString();
}

void Module1::RememberWindow(const QWidget& window) const {
  QSettings(SettingsPath(), QSettings::IniFormat)
      .setValue("window/geometry", window.saveGeometry());
}

void Module1::PlaceWindow(QWidget& window) const {
  const QByteArray saved =
      QSettings(SettingsPath(), QSettings::IniFormat).value("window/geometry").toByteArray();
  if (!saved.isEmpty()) window.restoreGeometry(saved);
}

bool Module1::LogIn(QWidget* parent) {
  frmLogin form(*this, ui_, parent);
  if (loginHook_) loginHook_(form);
  ui_.ShowModal(form);
  if (!form.Accepted) return false;
  QSettings(SettingsPath(), QSettings::IniFormat).setValue("login/user", UserName);
  int user = 0;
  form.GetLoginData(user, MapNames, MapCodes);
  UserID = user;
  return true;
}

std::unique_ptr<frmMain> Module1::Main() {
  frmSplash splash;
  splash.show();
  ReadConfig();
  if (ServerHost.isEmpty()) EditConnectionOptions();
  if (!LogIn(nullptr)) return nullptr;
  auto main = std::make_unique<frmMain>(*this);
  main->setWindowTitle(UserName + QStringLiteral("@") + ServerHost + QStringLiteral(":") +
                       ServerPort + QStringLiteral(" - ") + main->BaseCaption);
  splash.close();
  main->DisableMapCommands();
  PlaceWindow(*main);
  main->show();
  return main;
}

}  // namespace orvenda
