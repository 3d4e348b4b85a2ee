#pragma once

#include "format/Currency.h"

namespace qev {

class TablaMovtos;
class TablaSql;

// Walks the movements in statement order and writes the balance of charges minus
// credits after each one into its row (SALDO, and MSALDO as an amount text), then
// reopens the ordered query so that it shows the balances.
class RunningBalance {
  public:
    RunningBalance(TablaMovtos& movtos, TablaSql& sql);
    // Throws qev::Error on the first failure; balances written before it stay.
    void run();

  private:
    void writeBalance();

    TablaMovtos& movtos_;
    TablaSql& sql_;
    Currency vsaldo_;
};

}  // namespace qev
