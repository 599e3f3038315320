// QtEditFocus.h - the QSO rules' view of the main window's keyboard focus:
// finishing a frequency edit moves the focus to the hidden DefocusEdit.
#pragma once

#include "qso/QsoServices.h"
#include "shell/ui/MainForm.h"

namespace merivac {

class QtEditFocus final : public EditFocus {
 public:
  explicit QtEditFocus(TMainForm& form) : form_(form) {}
  void MoveFocusToDefocusEdit() override { form_.MoveFocusToDefocusEdit(); }

 private:
  TMainForm& form_;
};

}  // namespace merivac
