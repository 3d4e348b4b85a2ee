#pragma once

#include "format/Currency.h"

#include <vector>

namespace qev {

class TablaMovtos;
class TablaSql;

// Walks the movements in statement order and writes the balance of charges minus
// credits after each one into its row (SALDO, and MSALDO as an amount text), then
// reopens the ordered query so that it shows the balances. The balances are
// worked out in memory and written in one sweep over the file.
class RunningBalance {
  public:
    RunningBalance(TablaMovtos& movtos, TablaSql& sql);
    // Throws qev::Error on the first failure; balances worked out before it are
    // written all the same.
    void run();

  private:
    void walk();
    Currency amountOf(int field) const;
    void attachBalance(int saldoField);
    void writeBalances();

    TablaMovtos& movtos_;
    TablaSql& sql_;
    Currency vsaldo_;
    struct Balance {
        int record;  // the row that receives it
        Currency saldo;
    };
    std::vector<Balance> balances_;  // in statement order
};

}  // namespace qev
