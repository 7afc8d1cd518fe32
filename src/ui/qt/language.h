// The window in Chinese (the source language) or English, through Qt's
// translation system. Every text is written in Chinese and translated where
// it is shown.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QObject;
class QWidget;

namespace phe::qt {

// The one translation context of the window's texts.
inline constexpr const char* kContext = "pheselect";

// A Chinese source text in the language installed.
QString Tr(const char* chinese);
QString Tr(const QString& chinese);

// A text of the Qt-free core (Chinese, some with numbers or names inside) in
// the language installed. Texts with parts inside are matched against the
// templates of kMessageTemplates, their parts translated in turn.
QString TrMessage(const std::string& chinese);

// Sets the text (label, frame, button, action) or the tooltip of an object
// from a Chinese source and remembers the source, so RetranslateTree can
// redo it in another language.
void SetText(QObject* object, const QString& chinese);
void SetToolTip(QWidget* widget, const QString& chinese);
void RetranslateTree(QObject* root);

// Replaces the translators of the application by those of `language` ("zh"
// or "en"): the window's own and Qt's (standard buttons). False when the
// window's translation file is missing.
bool InstallTranslators(const QString& language);

// The language chosen in the menu last time ("zh" when none), and keeping a
// choice for the next start (Qt settings of pheselect).
QString RememberedLanguage();
void RememberLanguage(const QString& language);

// The tooltip of an input or result box: meaning, unit and, for inputs, the
// range the Run accepts. nullptr for a control without one.
const char* ToolTipSource(std::string_view control);

}  // namespace phe::qt
