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
#include <QRegularExpression>
#include <QSettings>
#include <QTranslator>
#include <map>
#include <memory>
#include <vector>

#include "ui/layout.h"
#include "ui/qt/case_files.h"
#include "ui/qt/look.h"
#include "ui/qt/main_window.h"

namespace phe::qt {

namespace {

const char* const kTextProperty = "phe_text";
const char* const kTipProperty = "phe_tip";

// Core texts with parts inside: %1, %2, ... stand for the parts, which are
// translated on their own (a side name, a temperature, a file name).
const char* const kMessageTemplates[] = {
    "物性数据缺失：蒸汽在%1时没有饱和蒸汽数据，无法计算蒸汽流量！",
    "物性数据错误：蒸汽在%1时的汽化潜热或蒸汽密度为零，无法计算蒸汽流量！",
    "物性数据缺失：%1在%2时没有物性数据，无法完成热平衡计算，请检查温度！",
    "物性数据错误：%1在%2时的密度或比热为零，无法完成热平衡计算！",
    "热平衡：无法求得%1，试算温度%2超出%3物性数据的温度范围，请检查换热量、流量和温度！",
    "热平衡：无法求得%1，试算温度已%2，请检查换热量、流量和温度！",
    "计算错误：%1中出现无效数值（%2），计算已停止。",
    "案例记录未能保存到数据库文件 %1：%2",
    "数据库错误：%1",
    "程序内部错误：%1",
    "每程流道数已达到上限%1，该型号不能满足设计要求，请选择其他型号或改变流程数、允许压降！",
    "%1压降 %2 kPa 超过允许值 %3 kPa，请增大允许压降或选择其他型号！",
    "流量超过单台换热器的处理能力，已分为%1台并联计算：显示的换热量、流量、面积、压降、重量和价格等结果均为单台的数值。",
    "无法打开案例文件：\n%1\n%2",
    "无法保存案例文件：\n%1\n%2",
    "板式换热器选型计算软件 pheselect\n版本 %1",
    "热介质（%1）",
    "冷介质（%1）",
    "超过最大压降 %1 kPa",
    "接口流速超过 %1 m/s",
    "低于要求的设计裕量 %1%",
    "换热面积 %1 m2 超过该型号最大面积 %2 m2",
    "%1中的%2不是一个完整的数值，请重新输入！",
    "%1超出%2（%3）物性数据的温度范围，必须介于%4℃和%5℃之间，请重新输入！",
    "%1必须大于0且不大于1000000 m3/h，请重新输入！",
    "%1必须大于0且不大于10000000 kW，请重新输入！",
    "%1必须大于0且不大于1000 kPa，请重新输入！",
    "%1必须介于0和100 %之间，请重新输入！",
    "%1必须不小于0且小于0.0002 m2.℃/W，请重新输入！",
    "%1必须介于0和1 m2.℃/W之间，请重新输入！",
    "%1必须是1到10之间的整数，请重新输入！",
    "%1必须是0到700之间的整数，请重新输入！",
    "“%1”（%2）",
    "“%1”",
    "建议：%1，%2，面积%3 m²，价格%4元",
};

struct Template {
  QString source;
  QRegularExpression pattern;
};

const std::vector<Template>& Templates() {
  static const std::vector<Template> templates = [] {
    std::vector<Template> out;
    static const QRegularExpression marker(QStringLiteral("%(\\d)"));
    for (const char* t : kMessageTemplates) {
      const QString source = QString::fromUtf8(t);
      QString pattern = QStringLiteral("^");
      qsizetype at = 0;
      for (auto it = marker.globalMatch(source); it.hasNext();) {
        const auto m = it.next();
        pattern += QRegularExpression::escape(source.mid(at, m.capturedStart() - at));
        pattern += QStringLiteral("(.+?)");
        at = m.capturedEnd();
      }
      pattern += QRegularExpression::escape(source.mid(at)) + QStringLiteral("$");
      out.push_back({source, QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)});
    }
    return out;
  }();
  return templates;
}

std::vector<std::unique_ptr<QTranslator>>& Installed() {
  static std::vector<std::unique_ptr<QTranslator>> translators;
  return translators;
}

struct ToolTip {
  const char* control;
  const char* text;
};

// Ranges are those the Run accepts.
const ToolTip kToolTips[] = {
    {"Com_jh", "热介质名称"},
    {"Com_jc", "冷介质名称"},
    {"Txt_Th1", "热介质进口温度，℃\n范围：所选介质物性数据的温度范围内（蒸汽 105～160 ℃）"},
    {"Txt_Th2", "热介质出口温度，℃\n范围：所选介质物性数据的温度范围内"},
    {"Txt_Tc1", "冷介质进口温度，℃\n范围：所选介质物性数据的温度范围内"},
    {"Txt_Tc2", "冷介质出口温度，℃\n范围：所选介质物性数据的温度范围内"},
    {"Txt_Qh", "热介质流量，m3/h\n范围：大于 0，至 1000000"},
    {"Txt_Qc", "冷介质流量，m3/h\n范围：大于 0，至 1000000"},
    {"Txt_Ph", "热介质允许的最大压降，kPa\n范围：大于 0，至 1000"},
    {"Txt_Pc", "冷介质允许的最大压降，kPa\n范围：大于 0，至 1000"},
    {"Com_pg", "设计压力，MPa"},
    {"Com_bpc", "板片材质"},
    {"Com_bph", "板片厚度，mm"},
    {"Com_dpc", "垫片材质"},
    {"Com_jgl", "接口衬里材质"},
    {"Txt_Wq", "热交换量，kW\n范围：大于 0，至 10000000"},
    {"Txt_N", "流程数量\n范围：1～10 的整数"},
    {"Txt_NUM1", "并联台数（手动选型），每台按总量的均分设计\n范围：1～20 的整数"},
    {"Txt_GF1", "要求的设计裕量，%\n范围：0～100"},
    {"Txt_Rhc", "污垢系数，m2.℃/W\n范围：0 至小于 0.0002（液体热介质的设计计算）"},
    {"com_br", "板换型号：人工选型和校核计算时选择，自动选型后显示选定的型号"},
    {"com_zh", "板片类型 H、HM、M、ML、L：人工选型和校核计算时选择"},
    {"Txt_nh", "每流程 H/M 流道数，校核计算时输入\n范围：0～700 的整数"},
    {"Txt_nl", "每流程 M/L 流道数，校核计算时输入\n范围：0～700 的整数"},
    {"Txt_Br", "板换规格：型号-板片数（单台）"},
    {"Txt_Dh", "热侧流道排列：每流程流道数与板型"},
    {"Txt_Dz", "冷侧流道排列：每流程流道数与板型"},
    {"Txt_NUM", "并联台数：流量超过一台的能力时平分到几台相同的板换"},
    {"Txt_D2", "热介质接口直径，mm"},
    {"Txt_D1", "冷介质接口直径，mm"},
    {"Txt_Wlh", "热介质接口流速，m/s"},
    {"Txt_Wlc", "冷介质接口流速，m/s"},
    {"Txt_Ph2", "热介质接口压降，kPa"},
    {"Txt_Pc2", "冷介质接口压降，kPa"},
    {"Txt_Ph1", "热介质计算压降，kPa"},
    {"Txt_Pc1", "冷介质计算压降，kPa"},
    {"Txt_GF", "设计裕量（洁净传热系数相对运行传热系数），%"},
    {"Txt_RHC1", "可承受的污垢系数，m2.℃/W"},
    {"Txt_K", "运行传热系数，W/m2.℃"},
    {"Txt_K0", "洁净传热系数（无污垢），W/m2.℃"},
    {"Txt_TM", "对数平均温差，℃"},
    {"Txt_F", "换热面积（单台），m2"},
    {"Txt_Y", "参考价格（单台），元"},
    {"Txt_W", "运行重量（单台），kg"},
    {"Txt_H", "外形尺寸 长x宽x高，mm"},
};

}  // namespace

QString Tr(const char* chinese) { return QCoreApplication::translate(kContext, chinese); }

QString Tr(const QString& chinese) { return Tr(chinese.toUtf8().constData()); }

QString TrMessage(const std::string& chinese) {
  const QString source = QString::fromStdString(chinese);
  const QString exact = Tr(source);
  if (exact != source) return exact;
  for (const Template& t : Templates()) {
    const auto m = t.pattern.match(source);
    if (!m.hasMatch()) continue;
    QString out = Tr(t.source);
    if (out == t.source) return source;  // no translation of this template
    for (int i = 1; i <= m.lastCapturedIndex(); ++i)
      out = out.arg(TrMessage(m.captured(i).toStdString()));
    return out;
  }
  return source;
}

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
  }
}

bool InstallTranslators(const QString& language) {
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

const char* ToolTipSource(std::string_view control) {
  for (const ToolTip& t : kToolTips)
    if (control == t.control) return t.text;
  return nullptr;
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
    MessageBox("找不到英文翻译文件 translations/pheselect_en.qm，界面保持中文。", "错误",
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
