#include "app/cli_sheet.h"

#include <cstdlib>
#include <ctime>
#include <iostream>

#include "curves/curves.h"
#include "sheet/sheet.h"

#ifdef PHE_SHEET_PDF
#include <dlfcn.h>

#include "db/database.h"
#endif

namespace phe::cli {

int SheetRequest::Write(CaseSession& session, const CaseInput& heading) const {
  if (!session.last_run_has_result || !session.env.result) {
    std::cerr << "pheselect-cli: the last run ended without a result; no sheet written\n";
    return 1;
  }
#ifdef PHE_SHEET_PDF
  sheet::Meta meta;
  meta.project = heading.project;
  meta.item = heading.item;
  meta.customer = heading.customer;
  char when[32];
  const std::time_t now = std::time(nullptr);
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", std::localtime(&now));
  meta.when = when;
  std::vector<Message> messages;
  for (const auto& m : session.last_run_messages) messages.push_back(m.message);
  Lang l = Lang::kZh;
  ParseLang(lang, &l);
  sheet::Document doc = sheet::BuildSheet(*session.env.result, messages, meta, l);
  if (session.last_alternatives) sheet::AppendAlternatives(doc, *session.last_alternatives, l);
  if (const auto curves = curves::Compute(*session.env.result)) sheet::AppendCurves(doc, *curves, l);

  // The renderer lies beside the program and is loaded only now.
  const std::string module = ExecutableDir() + "/" PHE_SHEET_MODULE;
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::cerr << "pheselect-cli: cannot load the PDF renderer: " << dlerror() << "; no sheet written\n";
    return 1;
  }
  using Write = int (*)(const sheet::Document&, const std::string&);
  const auto write = reinterpret_cast<Write>(dlsym(handle, "phe_cli_write_sheet_pdf"));
  if (!write) {
    std::cerr << "pheselect-cli: \"" << module << "\" is no PDF renderer; no sheet written\n";
    return 1;
  }
  // Qt stays loaded to the end of the process: its exit handlers run then.
  return write(doc, path);
#else
  (void)heading;
  std::cerr << "pheselect-cli: built without Qt, cannot write the sheet \"" << path << "\"\n";
  return 1;
#endif
}

}  // namespace phe::cli
