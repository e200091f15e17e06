// A host's main job: the telematic submission of the sales (monthly) and
// purchases (quarterly) lists of company 1 for March 2024, written into a
// folder under the file's official name.
//   submit DATABASE FOLDER
// DATABASE is a SQLite file or a connection string (one holding "=", such as
// "Provider=SQLOLEDB;Data Source=SRV;Initial Catalog=CONTAB;User ID=u;Password=p").
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <zelmora/zelmora.h>

using zelmora::Variant;

// The host's active interface: the business object reads the current
// company's localisation from it (0 Italian, 2 French).
zelmora::ObjectPtr ActiveInterface(int localisation) {
  auto company = std::make_shared<zelmora::DispatchObject>();
  company->SetMember("IndLocalizzazione", Variant::Integer(static_cast<int16_t>(localisation)));
  auto global = std::make_shared<zelmora::DispatchObject>();
  global->SetMember("Gcls_DittaCorrente", Variant::Obj(company));
  auto root = std::make_shared<zelmora::DispatchObject>();
  root->SetMember("ClsGlobal", Variant::Obj(global));
  return root;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: submit DATABASE FOLDER\n";
    return 2;
  }
  const std::string database = argv[1];
  const std::filesystem::path folder = argv[2];
  const std::string connection =
      database.find('=') == std::string::npos ? "Provider=SQLite;Data Source=" + database : database;

  // The object owns its connection, opened by the first operation and kept
  // until the object is destroyed.
  zelmora::CLSIN_INTRABO intra;
  auto input = std::make_shared<zelmora::CLSIN_INPUTINTRA>();
  input->StringaDiConnessione = Variant::String(connection);
  input->Ditta = Variant::Long(1);
  input->Anno = Variant::Integer(2024);
  input->PeriodoStampa = Variant::Integer(3);
  input->TipoStampa = Variant::Integer(2);  // both lists, each with the company's periodicity
  input->AnnoRiferimentoIntra = zelmora::AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  input->NumFloppy = Variant::Long(1);  // submission number
  input->PartitaIva = Variant::String("01234567890");
  input->PartitaIvaDeleg = Variant::String("");
  input->CodiceUtenteInvioTelematico = Variant::String("ABCD");
  input->DataInvioTelematico = Variant::FromDate(*zelmora::Date::FromYMD(2024, 4, 10));
  input->ProgressivoInvioTelematico = Variant::Integer(1);
  // The site number customs assigned to the sender (header positions 67-69).
  input->ProgressivoSedeUtente = Variant::Integer(1);
  intra.SetCInput(input);
  intra.SetActiveInterface(ActiveInterface(0));

  intra.PreparaTracciatoPerInvioTelematico();
  // Stato first; Errore only when Stato is not 0 (it is never cleared).
  if (intra.Stato().ToInteger() != 0) {
    std::cerr << "submit: Stato " << intra.Stato().ToInteger() << ": " << intra.Errore().Text() << "\n";
    return 1;
  }
  const std::string name = intra.COutput()->NomeFileInvioTelematico.Text();
  const std::string text = intra.COutput()->StringaTracciatoInvioTelematico.Text();
  std::cout << "declaration lines written: " << intra.NumRecStpModIntra().ToLong() << "\n";
  if (text.empty()) {
    std::cout << "nothing to send\n";
    return 0;
  }
  // The records already end in CR LF: written as they are.
  const std::filesystem::path path = folder / name;
  std::ofstream file(path, std::ios::binary);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (!file) {
    std::cerr << "submit: cannot write " << path.string() << "\n";
    return 1;
  }
  std::cout << name << " written (" << text.size() << " bytes)\n";

  // A recordset: the lines of both lists whose goods or services code is
  // not valid for its reference year, one row each.
  zelmora::RecordsetPtr errors = intra.GeneraRstErroriNomenclaturaInvioTelematico();
  if (intra.Stato().ToInteger() != 0 || !errors) {
    std::cerr << "submit: Stato " << intra.Stato().ToInteger() << ": " << intra.Errore().Text() << "\n";
    return 1;
  }
  std::cout << "lines with an invalid code: " << errors->RecordCount() << "\n";
  if (errors->RecordCount() > 0) {
    for (errors->MoveFirst(); !errors->EOF(); errors->MoveNext()) {
      std::cout << "  registration " << errors->Value("IN01_NUMREG_CG41").Text() << " of "
                << errors->Value("CG41_DATAREG").Text() << ": code " << errors->Value("IN02_NOMENCLATURA").Text()
                << "\n";
    }
  }
  return 0;
}
