// ostravel --balance "EQUATION": balancing on the command line.
#pragma once

#include <string>

namespace ostravel {

// Balances the equation with the database of the program folder: the balanced equation (and,
// when amounts were written, the limiting reagent and the yields) on standard output, exit
// code 0; an equation that cannot be read or balanced: the reason on standard error, exit
// code 1.
int RunBalance(const std::string& programFolder, const std::string& equation);

}  // namespace ostravel
