// The stored values of a company's movements that the declaration cannot
// use: a competence date that is not a day (the movement then falls in no
// period and is left out of every declaration without a word), an amount
// that cannot be read as a number, a code outside its table (kind of
// document, operation, kind of data, nature of transaction, transport
// mode, sign) that leaves the line out or breaks its record. The host
// database is read as it is stored, so that a value the typed readers would
// refuse is found and named rather than failing the whole statement.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zelmora::cli {

// One stored value to fix.
struct DataFault {
  std::string registration;  // IN01_NUMREG_CG41, as stored
  std::string document;      // CG41_NUMDOC, as stored ("" without an entry)
  std::string line;          // IN02_NUMRIGA ("" for a fault of the document)
  std::string column;
  std::string holds;         // the value: 'text' or a number, control bytes as \xHH
  std::string wants;         // what the column must hold, and what happens otherwise
};

// The months of one list's declaration, or none when the list is not
// checked. Months count on from the year's: 0 is December of the year
// before, -1 November.
struct ListWindow {
  bool checked = false;
  int year = 0;
  int firstMonth = 0;
  int lastMonth = 0;
};

// The months a declaration of `periodicity` (1 monthly, 2 quarterly: the
// three months that end with `period`, 3 yearly; anything else is taken as
// monthly) ending in `period` covers.
ListWindow WindowOf(int periodicity, int year, int period);

// The faults of company `company` in the SQLite host database at `path`,
// by registration and line: the dates of every movement of the company
// (a movement whose date is not a day belongs to no period), the other
// values of the movements whose date falls in the window of their list
// (sales: document kinds 1 and 2; purchases: 3 and 4; a kind outside both
// in either window). Throws Error when the database cannot be read.
std::vector<DataFault> CheckMovementData(const std::string& path, int company, const ListWindow& sales,
                                         const ListWindow& purchases);

// The faults as an aligned table followed by their count (nothing but the
// count when there are none), or as CSV.
void WriteDataFaults(const std::vector<DataFault>& faults, bool csv, std::ostream& out);

// The SQLite file a --db value names: the path itself, or the Data Source of
// a Provider=SQLite connection string; "" for a connection to another
// engine (its typed columns keep dates and amounts readable; its codes are
// not checked by this).
std::string SqliteFileOf(const std::string& databaseOption);

}  // namespace zelmora::cli
