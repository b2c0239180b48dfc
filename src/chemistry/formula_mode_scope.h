// Puts the formula parser's counting switches (atom counts, element and isotope filter) and the
// kind of the calculation back as they were, on every way out of a reading that sets them.
#pragma once

#include "session/session.h"

namespace ostravel {

class FormulaModeScope {
 public:
  explicit FormulaModeScope(Session& s) : s_(s), kind_(s.calc.CalcKind) {}
  ~FormulaModeScope() {
    s_.formula.CountAtoms = false;
    s_.formula.ElementFilterOn = false;
    s_.formula.IsotopeFilter = -1;
    s_.calc.CalcKind = kind_;
  }
  FormulaModeScope(const FormulaModeScope&) = delete;
  FormulaModeScope& operator=(const FormulaModeScope&) = delete;

 private:
  Session& s_;
  CalcKind kind_;
};

}  // namespace ostravel
