#include "ui/qt/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTranslator>
#include <map>
#include <memory>
#include <vector>

#include "base/numeric.h"
#include "engines/engines.h"
#include "state/input_limits.h"
#include "ui/layout.h"
#include "ui/qt/case_files.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe::qt {

namespace {

const char* const kTextProperty = "phe_text";
const char* const kTipProperty = "phe_tip";

const char* const kTipControlProperty = "phe_tip_control";

Lang& Current() {
  static Lang lang = Lang::kZh;
  return lang;
}

std::vector<std::unique_ptr<QTranslator>>& Installed() {
  static std::vector<std::unique_ptr<QTranslator>> translators;
  return translators;
}

}  // namespace

QString Tr(const char* chinese) { return QCoreApplication::translate(kContext, chinese); }

QString Tr(const QString& chinese) { return Tr(chinese.toUtf8().constData()); }

void SetText(QObject* object, const QString& chinese) {
  object->setProperty(kTextProperty, chinese);
  const QString text = Tr(chinese);
  if (auto* label = qobject_cast<QLabel*>(object)) label->setText(text);
  else if (auto* frame = qobject_cast<QGroupBox*>(object)) frame->setTitle(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(object)) button->setText(text);
  else if (auto* action = qobject_cast<QAction*>(object)) action->setText(text);
  else if (auto* menu = qobject_cast<QMenu*>(object)) menu->setTitle(text);
}

void SetToolTip(QWidget* widget, const QString& chinese) {
  widget->setProperty(kTipProperty, chinese);
  widget->setToolTip(Tr(chinese));
}

void RetranslateTree(QObject* root) {
  std::vector<QObject*> objects{root};
  for (QObject* o : root->findChildren<QObject*>()) objects.push_back(o);
  for (QObject* o : objects) {
    const QVariant text = o->property(kTextProperty);
    if (text.isValid()) SetText(o, text.toString());
    const QVariant tip = o->property(kTipProperty);
    if (tip.isValid()) SetToolTip(static_cast<QWidget*>(o), tip.toString());
    const QVariant control = o->property(kTipControlProperty);
    if (control.isValid()) SetBoxToolTip(static_cast<QWidget*>(o), control.toString().toStdString());
  }
}

bool InstallTranslators(const QString& language) {
  Current() = language == QLatin1String("en") ? Lang::kEn : Lang::kZh;
  for (auto& t : Installed()) QCoreApplication::removeTranslator(t.get());
  Installed().clear();
  bool ok = true;
  // Qt's own texts (OK, Yes, No, Cancel) are English unless translated.
  auto qt_own = std::make_unique<QTranslator>();
  const QString qt_dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (language == QLatin1String("zh") && qt_own->load(QStringLiteral("qtbase_zh_CN"), qt_dir)) {
    QCoreApplication::installTranslator(qt_own.get());
    Installed().push_back(std::move(qt_own));
  }
  if (language == QLatin1String("en")) {
    auto own = std::make_unique<QTranslator>();
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    ok = own->load(QStringLiteral("pheselect_en"), dir);
    if (ok) {
      QCoreApplication::installTranslator(own.get());
      Installed().push_back(std::move(own));
    }
  }
  return ok;
}

QString RememberedLanguage() {
  const QString l = QSettings(QStringLiteral("pheselect"), QStringLiteral("pheselect"))
                        .value(QStringLiteral("language"))
                        .toString();
  return l == QLatin1String("en") ? l : QStringLiteral("zh");
}

void RememberLanguage(const QString& language) {
  QSettings(QStringLiteral("pheselect"), QStringLiteral("pheselect"))
      .setValue(QStringLiteral("language"), language);
}

Lang CurrentLanguage() { return Current(); }

Message ToolTip(std::string_view control) {
  const std::string id = "tip." + std::string(control);
  bool known = false;
  for (const CatalogueEntry& e : MessageCatalogue(Lang::kZh)) known = known || id == e.id;
  if (!known) return Message();
  // The range a box accepts, quoted from where the Run's checks take it.
  double max = 0;
  if (control == "Txt_Qh" || control == "Txt_Qc") max = kMaxFlow;
  if (control == "Txt_Ph" || control == "Txt_Pc") max = kMaxPressureDrop;
  if (control == "Txt_Wq") max = kMaxDuty;
  if (control == "Txt_N") max = kMaxPasses;
  if (control == "Txt_NUM1") max = kMaxUnits;
  if (control == "Txt_GF1") max = kMaxMargin;
  if (control == "Txt_Rhc") max = kFoulingLimit;
  if (control == "Txt_nh" || control == "Txt_nl") max = kChannelLimit;
  return Message(id)
      .With("max", FormatGeneral(max))
      .With("steam_min", FormatGeneral(kSteamTMin))
      .With("steam_max", FormatGeneral(kSteamTMax));
}

void SetBoxToolTip(QWidget* widget, const std::string& control) {
  const Message tip = ToolTip(control);
  if (tip.id.empty()) return;
  widget->setProperty(kTipControlProperty, QString::fromStdString(control));
  widget->setToolTip(QString::fromStdString(Format(tip, Current())));
}

}  // namespace phe::qt

namespace phe {

void MainWindow::BuildLanguageMenu() {
  // Readable in either language, so it is never translated.
  QMenu* menu = menuBar()->addMenu(QStringLiteral("语言 / Language(&L)"));
  menu->setFont(qt::CaptionFont());
  language_group_ = new QActionGroup(this);
  for (const auto& [code, name] : {std::pair{"zh", "中文"}, std::pair{"en", "English"}}) {
    QAction* a = menu->addAction(QString::fromUtf8(name));
    a->setCheckable(true);
    a->setData(QString::fromLatin1(code));
    a->setChecked(language_ == QLatin1String(code));
    language_group_->addAction(a);
  }
  connect(language_group_, &QActionGroup::triggered, this,
          [this](QAction* a) { SetLanguage(a->data().toString()); });
}

void MainWindow::SetLanguage(const QString& language, bool remember) {
  if (language != QLatin1String("zh") && language != QLatin1String("en"))
    throw std::invalid_argument("unknown language " + language.toStdString() +
                                " (zh or en)");
  if (!qt::InstallTranslators(language))
    MessageBox(Message("translation_missing"), Message("title.error"),
               MsgIcon::kCritical, MsgButtons::kOk);
  language_ = language;
  if (remember) qt::RememberLanguage(language);
  for (QAction* a : language_group_->actions()) a->setChecked(a->data().toString() == language);
  // Installing a translator already sent LanguageChange; Chinese installs
  // none of its own, so the window is redone here in every case.
  Retranslate();
  FitToScreen();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange && panel_) Retranslate();
  QMainWindow::changeEvent(event);
}

void MainWindow::Retranslate() {
  if (case_files_)
    case_files_->ShowTitle();
  else
    setWindowTitle(qt::Tr(layout::kWindowTitle));
  qt::RetranslateTree(this);
  RenderStatus();
  PaintResults();
}

}  // namespace phe
