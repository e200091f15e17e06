// zelmora movements: a company's Intrastat movements as the business object
// lists them (one row per line, or one per document with --documents), as
// a table for reading or as CSV, so that a person can check what will be
// declared before printing or sending it.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace zelmora::cli {

struct MovementsOptions {
  std::string database;       // path of the SQLite host database
  std::string company;        // CInput.Ditta
  bool documents = false;     // one row per document (the browsing list)
  bool csv = false;           // every field, comma-separated, instead of the table
  // Filters, as the host's input object takes them; empty means not set.
  std::string kind;           // TipoMovimento: 1 sale, 2 sale correction, 3 purchase, 4 purchase correction
  std::string account;        // Conto
  std::string partyKind;      // TipoCF
  std::string documentNumber; // NumeroDocumento
  std::string documentFrom, documentTo;          // DataDocumentoIniziale / Finale
  std::string registrationFrom, registrationTo;  // DataRegistrazioneIniziale / Finale
  std::string operation;      // OperazioneRif: 0 goods, 1 services, 9 both
  std::string goodsFrom, goodsTo;                // NomenclaturaIniziale / Finale
  std::string servicesFrom, servicesTo;          // ServizioIniziale / Finale
  std::string section;        // CodiceSezionale (documents)
  std::string protocol;       // Protocollo (documents)
  std::string filter;         // ENHFiltro, an SQL condition
  std::string orderBy;        // ENHOrdinamentoMovIntra
  bool withLines = false;     // Pbol_Dettaglio
  bool byDocument = false;    // StampaTotaliDocumento = 1 (lines)
};

// Lists the movements on `out`; on failure writes one line on `err` and
// returns non-zero.
int RunMovements(const MovementsOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zelmora::cli
