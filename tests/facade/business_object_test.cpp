#include <gtest/gtest.h>

#include <memory>

#include "facade/class_factory.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "component/trap.h"
#include "platform/error.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

TEST(BusinessObject, ANewObjectHasItsOutputNoInputAndStatusZero) {
  CLSIN_INTRABO object;
  EXPECT_NE(object.COutput(), nullptr);
  EXPECT_EQ(object.CInput(), nullptr);
  EXPECT_EQ(object.Stato(), Variant::Integer(0));
  EXPECT_TRUE(object.Errore().IsEmpty());
  EXPECT_EQ(object.context().Connessione, nullptr);
}

TEST(BusinessObject, StatoStoresWhatItIsGivenAsA16BitInteger) {
  CLSIN_INTRABO object;
  object.SetStato(Variant::String("7"));
  EXPECT_EQ(object.Stato(), Variant::Integer(7));
  object.SetStato(Variant::Dec(*Decimal::Parse("2.5")));
  EXPECT_EQ(object.Stato(), Variant::Integer(2));
  object.SetMember("stato", Variant::Long(99));
  EXPECT_EQ(object.GetMember("Stato"), Variant::Integer(99));
  // A value that does not convert is trapped like any failure, not raised.
  object.SetStato(Variant::String("sette"));
  EXPECT_EQ(object.Stato(), Variant::Integer(13));
  EXPECT_EQ(object.Errore(), Variant::String("Type mismatch in Stato"));
  object.SetStato(Variant::Long(70000));
  EXPECT_EQ(object.Stato(), Variant::Integer(6));
  EXPECT_EQ(object.Errore(), Variant::String("Overflow in Stato"));
}

TEST(BusinessObject, ShowMessageAlwaysGivesZero) {
  CLSIN_INTRABO object;
  TipoMessaggio tipo = TipoMessaggio::MsgRichiesta;
  Variant code = Variant::Null();
  Variant extra = Variant::String("x");
  EXPECT_EQ(object.ShowMessage(tipo, code), 0);
  EXPECT_EQ(object.ShowMessage(tipo, code, &extra, &extra, &extra), 0);
  std::vector<Variant> args = {Variant::String("not a kind"), Variant()};
  EXPECT_EQ(object.Invoke("showmessage", args), Variant::Integer(0));
  std::vector<Variant> tooFew = {Variant::Integer(1)};
  EXPECT_EQ(testing::ErrorNumberOf([&] { object.Invoke("ShowMessage", tooFew); }), 450);
}

TEST(Trap, EachHandlerKindReportsAsItIsDeclared) {
  CLSIN_INTRABO object;
  IntraContext& context = object.context();
  const auto fail = [] { throw Error::InvalidUseOfNull(); };

  EXPECT_FALSE(Trap(context, HandlerKind::StatusAndText, "DefinisciStringaSQLPerIntra", fail));
  EXPECT_EQ(context.Stato, 94);
  EXPECT_EQ(context.Errore, Variant::String("Invalid use of Null in DefinisciStringaSQLPerIntra"));

  // The silent handler leaves the text of the earlier failure.
  EXPECT_FALSE(Trap(context, HandlerKind::SilentStatus, "GeneraRecordsetIntra", [] { throw Error::TypeMismatch(); }));
  EXPECT_EQ(context.Stato, 99);
  EXPECT_EQ(context.Errore, Variant::String("Invalid use of Null in DefinisciStringaSQLPerIntra"));

  EXPECT_FALSE(Trap(context, HandlerKind::NumberedText, "CancellaMovimentiIntra", [] { throw Error(3021, "No row"); }));
  EXPECT_EQ(context.Stato, 99);
  EXPECT_EQ(context.Errore, Variant::String("Errore VB numero 3021(No row)"));

  context.Stato = 0;
  EXPECT_FALSE(Trap(context, HandlerKind::None, "SeNullo", fail));
  EXPECT_EQ(context.Stato, 0);

  // Numbers beyond 16 bits cannot be a status.
  EXPECT_FALSE(Trap(context, HandlerKind::StatusAndText, "X", [] { throw Error(-2147217900, "Syntax"); }));
  EXPECT_EQ(context.Stato, 99);
  EXPECT_EQ(context.Errore, Variant::String("Syntax in X"));

  // Failures that are not the runtime's are still trapped.
  EXPECT_FALSE(Trap(context, HandlerKind::StatusAndText, "Y", [] { throw std::bad_alloc(); }));
  EXPECT_EQ(context.Stato, 7);
  EXPECT_TRUE(Trap(context, HandlerKind::StatusAndText, "Z", [] {}));
}

TEST(ConnectionContext, OperationsStopWithStatusOneWhenCompanyOrConnectionStringIsMissing) {
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  object.SetCInput(input);
  object.SetErrore(Variant::String("earlier"));
  IntraContext& context = object.context();

  context.Stato = 5;
  input->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=/nonexistent.db");
  EXPECT_FALSE(ApriOperazioneDatabase(context, true));
  EXPECT_EQ(context.Stato, 1);

  // A connection passed by the host does not excuse a missing string.
  input->Ditta = Variant::Integer(1);
  input->StringaDiConnessione = Variant::String("");
  input->Connessione = std::make_shared<Connection>();
  EXPECT_FALSE(ApriOperazioneDatabase(context, true));
  EXPECT_EQ(context.Stato, 1);
  EXPECT_EQ(context.Connessione, nullptr);
  EXPECT_EQ(object.Errore(), Variant::String("earlier"));
}

TEST(ConnectionContext, TheFirstConnectionIsKeptWhateverTheInputSaysLater) {
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  object.SetCInput(input);
  IntraContext& context = object.context();

  // Both a passed connection and a string: the passed one, as it is.
  auto hosts = std::make_shared<Connection>();
  input->Connessione = hosts;
  input->StringaDiConnessione = Variant::String("Provider=Nothing");
  CreaConnessione(context);
  EXPECT_EQ(context.Connessione, hosts);
  EXPECT_EQ(context.Stato, 0);

  input->Connessione = nullptr;
  input->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=/elsewhere.db");
  CreaConnessione(context);
  EXPECT_EQ(context.Connessione, hosts);
}

TEST(ConnectionContext, AConnectionThatFailsToOpenIsReportedAndStillKept) {
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  object.SetCInput(input);
  IntraContext& context = object.context();

  // Blanks are not empty: a connection is attempted with them.
  input->Ditta = Variant::Integer(1);
  input->StringaDiConnessione = Variant::String("   ");
  EXPECT_TRUE(ApriOperazioneDatabase(context, true));
  EXPECT_EQ(context.Stato, 3706);
  const std::string text = object.Errore().ToString();
  EXPECT_EQ(text.substr(text.size() - 19), " in CreaConnessione");
  ASSERT_NE(context.Connessione, nullptr);
  EXPECT_FALSE(context.Connessione->IsOpen());
  EXPECT_EQ(context.Connessione->ConnectionString, "   ");
  EXPECT_EQ(context.Connessione->IsolationLevel, 0x100000);
  EXPECT_EQ(context.Connessione->CommandTimeout, 100);
  EXPECT_EQ(context.Connessione->CursorLocation, 3);

  // Not retried: the failed connection stays.
  const ConnectionPtr failed = context.Connessione;
  input->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=/tmp/x.db");
  CreaConnessione(context);
  EXPECT_EQ(context.Connessione, failed);
}

TEST(ConnectionContext, WithoutAnInputObjectTheFailureIsTrapped) {
  CLSIN_INTRABO object;
  CreaConnessione(object.context());
  EXPECT_EQ(object.Stato(), Variant::Integer(91));
  EXPECT_EQ(object.Errore(), Variant::String("Object variable or With block variable not set in CreaConnessione"));
}

TEST(ClassFactory, CreatesTheBusinessAndInputObjectsOnly) {
  EXPECT_EQ(CreateObject("ZELMORA.CLSIN_INTRABO")->Kind(), "CLSIN_INTRABO");
  EXPECT_EQ(CreateObject("zelmora.clsin_inputintra")->Kind(), "CLSIN_INPUTINTRA");
  for (const char* name : {"ZELMORA.CLSIN_OUPUTINTRA", "ZELMORA.CLSIN_OUTPUTINTRA", "CLSIN_INTRABO"}) {
    EXPECT_EQ(testing::ErrorNumberOf([&] { CreateObject(name); }), 429) << name;
  }
}

TEST(BusinessObject, DestroyingReleasesTheReportObjectsItHolds) {
  auto services = std::make_shared<DefaultHostServices>();
  {
    CLSIN_INTRABO object(services);
    object.context().PclsReport = services->NewReport("PclsReport");
    object.context().PclsReport->SetSQL("SELECT 1");
  }
  ASSERT_EQ(services->PrintJobs().size(), 1u);
  const PrintJob& job = *services->PrintJobs()[0];
  EXPECT_TRUE(job.released);
  ASSERT_GE(job.calls.size(), 4u);
  EXPECT_EQ(job.calls.back().name, "Release");
}

}  // namespace
}  // namespace zelmora
