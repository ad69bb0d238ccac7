// The boxes of the "Information" menu: the product box, the history and the links, whose web
// addresses open in the system's browser.
#pragma once

#include <QDialog>

#include "ui/FormUi.h"

namespace obrin::gui {

enum class TInfoBox { About, History, Links };

class TFormInfo : public QDialog {
    Q_OBJECT
  public:
    TFormInfo(TInfoBox kind, TUi& ui, QWidget* parent = nullptr);
};

}  // namespace obrin::gui
