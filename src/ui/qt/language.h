// The window in Chinese (the source language) or English, through Qt's
// translation system. Every text is written in Chinese and translated where
// it is shown.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "messages/messages.h"

class QObject;
class QWidget;

namespace phe::qt {

// The one translation context of the window's texts.
inline constexpr const char* kContext = "pheselect";

// A Chinese source text in the language installed.
QString Tr(const char* chinese);
QString Tr(const QString& chinese);


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

// The language of the translators installed last, for the message catalogue.
Lang CurrentLanguage();

// The tooltip of an input or result box: meaning, unit and, for inputs, the
// range the Run accepts. No id for a control without one.
Message ToolTip(std::string_view control);
// Sets it in the current language; RetranslateTree redoes it.
void SetBoxToolTip(QWidget* widget, const std::string& control);

}  // namespace phe::qt
