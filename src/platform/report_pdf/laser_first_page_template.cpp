// CRIN_INTRA1_LAS[_2010].rpt and CRIN_INTRA2_LAS[_2010].rpt: the first
// page of the INTRA-1 (sales) and INTRA-2 (purchases) lists, as the
// official frontispiece lays it out: the period, the declarant, the
// delegate and the summary of the sections.
#include <string>

#include "platform/report_pdf/report_templates.h"

namespace zelmora::pdf {

namespace {

constexpr double kMargin = 36;
constexpr double kFieldHeight = 24;
const Font kLabel{5.5, false};
const Font kValue{9, false};
const Font kSectionTitle{8, true};

// A box with its label in small print and its value below.
void Field(PdfCanvas& canvas, double x, double y, double width, const std::string& label, const std::string& value) {
  canvas.Box(x, y, width, kFieldHeight);
  canvas.Text(x + 2, y + 1.5, width - 4, label, kLabel);
  canvas.Text(x + 3, y + 10, width - 6, value, kValue);
}

// A section band across the page; returns the top of its content.
double Band(PdfCanvas& canvas, double y, const std::string& title) {
  const double width = canvas.width() - 2 * kMargin;
  canvas.Shade(kMargin, y, width, 13, 0.85);
  canvas.Text(kMargin + 4, y + 2, width - 8, title, kSectionTitle);
  return y + 15;
}

void Check(PdfCanvas& canvas, double x, double y, const std::string& label, bool marked) {
  canvas.Box(x, y, 9, 9);
  if (marked) canvas.Text(x, y - 0.5, 9, "X", Font{8, true}, Align::Center);
  canvas.Text(x + 13, y + 0.5, 200, label, Font{7, false});
}

// A person's address row: street, postcode, town and province, from the
// parameters IndFiscale, CapFiscale, CittaFiscale and ProvFiscale followed
// by `suffix` ("" for the declarant, "Deleg" for the delegate).
void AddressRow(PdfCanvas& canvas, const ReportView& view, double y, const std::string& streetLabel,
                const std::string& suffix) {
  const double width = canvas.width() - 2 * kMargin;
  Field(canvas, kMargin, y, 250, streetLabel, view.Parameter("IndFiscale" + suffix));
  Field(canvas, kMargin + 254, y, 50, "CAP", view.Parameter("CapFiscale" + suffix));
  Field(canvas, kMargin + 308, y, width - 362, "Comune", view.Parameter("CittaFiscale" + suffix));
  Field(canvas, kMargin + width - 50, y, 50, "Prov.", view.Parameter("ProvFiscale" + suffix));
}

}  // namespace

void DrawLaserFirstPage(PdfCanvas& canvas, const ReportView& view, bool from2010, int list) {
  canvas.BeginPage(false);
  const double width = canvas.width() - 2 * kMargin;
  const bool sales = list == 0;
  double y = kMargin;

  canvas.Box(kMargin, y, width, 58, 1);
  canvas.Text(kMargin + 8, y + 6, 170, sales ? "MODELLO INTRA-1" : "MODELLO INTRA-2", Font{15, true});
  canvas.Text(kMargin + 8, y + 28, 160, "Frontespizio", Font{8, false});
  std::string subject = sales ? "ELENCO RIEPILOGATIVO DELLE CESSIONI INTRACOMUNITARIE DI BENI"
                              : "ELENCO RIEPILOGATIVO DEGLI ACQUISTI INTRACOMUNITARI DI BENI";
  if (from2010) subject += sales ? " E DEI SERVIZI RESI" : " E DEI SERVIZI RICEVUTI";
  canvas.Paragraph(kMargin + 180, y + 8, width - 190, subject, Font{9, true});
  canvas.Text(kMargin + 180, y + 40, width - 190, "Tipologia: " + view.Parameter("Tipologia"), Font{8, false});
  y += 66;

  y = Band(canvas, y, "PERIODO DI RIFERIMENTO");
  const bool monthly = view.Parameter("TipoIntra") == "1";
  const bool quarterly = view.Parameter("TipoIntra") == "2";
  Field(canvas, kMargin, y, 70, "Anno", view.Formula("ANNOFISC"));
  Field(canvas, kMargin + 74, y, 60, "Mese", monthly ? view.Parameter("mese") : "");
  Field(canvas, kMargin + 138, y, 60, "Trimestre", quarterly ? view.Parameter("mese") : "");
  Field(canvas, kMargin + 202, y, 90, "Numero elenco", view.Parameter("NumFloppy"));
  if (quarterly) {
    Check(canvas, kMargin + 300, y, "Solo primo mese del trimestre", view.Parameter("Rif_SoloPrimoMeseTrimestre") == "1");
    Check(canvas, kMargin + 300, y + 12, "Primo e secondo mese del trimestre",
          view.Parameter("Rif_PrimoSecondoMeseTrimestre") == "1");
    Check(canvas, kMargin + 300, y + 24, "Trimestre completo", view.Parameter("Rif_TrimestreCompleto") == "1");
    y += 12;
  }
  y += kFieldHeight + 10;

  y = Band(canvas, y, "CONTRIBUENTE");
  Field(canvas, kMargin, y, 130, "Partita IVA", view.Parameter("PartitaIva"));
  Field(canvas, kMargin + 134, y, 170, "Codice fiscale", view.Parameter("Codicefiscale"));
  Field(canvas, kMargin + 308, y, width - 308, "Telefono", view.Parameter("Telefono"));
  y += kFieldHeight + 4;
  Field(canvas, kMargin, y, width, "Soggetto obbligato", view.Formula("SOGGOBBL"));
  y += kFieldHeight + 4;
  Field(canvas, kMargin, y, 190, "Cognome", view.Parameter("Cognome"));
  Field(canvas, kMargin + 194, y, 160, "Nome", view.Parameter("Nome"));
  Field(canvas, kMargin + 358, y, 40, "Sesso", view.Parameter("Sesso"));
  Field(canvas, kMargin + 402, y, width - 402, "Data di nascita", view.Parameter("DataNascita"));
  y += kFieldHeight + 4;
  Field(canvas, kMargin, y, 300, "Comune (o Stato estero) di nascita", view.Parameter("ComuneNascita"));
  Field(canvas, kMargin + 304, y, 50, "Prov.", view.Parameter("ProvNascita"));
  y += kFieldHeight + 4;
  Field(canvas, kMargin, y, width, "Denominazione o ragione sociale", view.Parameter("RagSocFisc"));
  y += kFieldHeight + 4;
  AddressRow(canvas, view, y, "Domicilio fiscale: indirizzo", "");
  y += kFieldHeight + 10;

  y = Band(canvas, y, "SOGGETTO DELEGATO");
  Field(canvas, kMargin, y, 130, "Partita IVA", view.Parameter("PartitaIvaDeleg"));
  Field(canvas, kMargin + 134, y, width - 134, "Soggetto delegato", view.Formula("SOGGDEL"));
  y += kFieldHeight + 4;
  Field(canvas, kMargin, y, 190, "Cognome", view.Parameter("CognomeDeleg"));
  Field(canvas, kMargin + 194, y, 160, "Nome", view.Parameter("NomeDeleg"));
  Field(canvas, kMargin + 358, y, width - 358, "Telefono", view.Parameter("TelefonoDeleg"));
  y += kFieldHeight + 4;
  Field(canvas, kMargin, y, width, "Denominazione o ragione sociale", view.Parameter("RagSocDeleg"));
  y += kFieldHeight + 4;
  AddressRow(canvas, view, y, "Indirizzo", "Deleg");
  y += kFieldHeight + 10;

  y = Band(canvas, y, "RIEPILOGO DELLE SEZIONI");
  const double columns[] = {220, 70, 150, width - 440};
  const char* const headings[] = {"Sezione", "Numero righe", "Ammontare complessivo in euro", "Pagine"};
  double x = kMargin;
  for (int c = 0; c < 4; ++c) {
    canvas.Text(x + 3, y, columns[c] - 6, headings[c], Font{7, true}, c == 0 ? Align::Left : Align::Right);
    x += columns[c];
  }
  y += 12;
  struct Summary {
    std::string name, lines, total, pages;
  };
  std::vector<Summary> rows = {
      {sales ? "Sezione 1 - Cessioni di beni (bis)" : "Sezione 1 - Acquisti di beni (bis)",
       view.Parameter("ContatoreAcqCess"), view.Parameter("TotaleAcqCess"), view.Parameter("NumPagAcqCess")},
      {"Sezione 2 - Rettifiche ai beni (ter)", view.Parameter("ContatoreRett"), view.Parameter("TotaleRett"),
       view.Parameter("NumPagRett")}};
  if (from2010) {
    rows.push_back({sales ? "Sezione 3 - Servizi resi (quater)" : "Sezione 3 - Servizi ricevuti (quater)",
                    view.Parameter("ContatoreServizi"), view.Parameter("TotaleServizi"), ""});
    rows.push_back({"Sezione 4 - Rettifiche ai servizi (quinquies)", view.Parameter("ContatoreRettServizi"),
                    view.Parameter("TotaleRettServizi"), ""});
  }
  for (const Summary& row : rows) {
    canvas.Box(kMargin, y - 2, width, 14);
    const std::string cells[] = {row.name, row.lines, row.total, row.pages};
    x = kMargin;
    for (int c = 0; c < 4; ++c) {
      canvas.Text(x + 3, y, columns[c] - 6, cells[c], Font{8, false}, c == 0 ? Align::Left : Align::Right);
      x += columns[c];
    }
    y += 14;
  }
  y += 10;
  if (!from2010) {
    Field(canvas, kMargin, y, 120, "Casella 1", view.Parameter("casella1"));
    Field(canvas, kMargin + 124, y, 120, "Casella 2", view.Parameter("casella2"));
  }
  canvas.Text(kMargin, canvas.height() - kMargin, width, view.Title() + " (" + view.TemplateFile() + ")", Font{6, false});
}

}  // namespace zelmora::pdf
