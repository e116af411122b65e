#include "lsp/language_server.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "lsp/file_uri.h"
#include "support/lsp_client.h"
#include "support/temp_folder.h"

namespace quillon::lsp {
namespace {

using nlohmann::json;
using testing::at;
using testing::LspClient;

// One request on a fresh, initialized server with one document open, and what must answer it.
struct Exchange {
  const char* name;
  json request;
  json expected;  // compared against the response's "result", or its error code as {"error": code}
};

constexpr const char* kUri = "file:///nowhere/a.mb";
constexpr const char* kText =
    "' Horsbøll Møller wrote this\n"
    "Declare Sub Main\n"
    "Sub Main\n"
    "  Dim answer As String\n"
    "  Note \"ø\" + answer\n"
    "End Sub\n";

json range(int l1, int c1, int l2, int c2) {
  return {{"start", {{"line", l1}, {"character", c1}}}, {"end", {{"line", l2}, {"character", c2}}}};
}

class ExchangeTest : public ::testing::TestWithParam<Exchange> {};

TEST_P(ExchangeTest, AnswersAsTheProtocolSays) {
  LspClient client;
  client.initialize();
  client.open(kUri, kText);
  const Exchange& e = GetParam();
  json request = e.request;
  request["jsonrpc"] = "2.0";
  request["id"] = 7;
  client.message(request);
  ASSERT_FALSE(client.sink.sent.empty());
  const json& response = client.sink.sent.back();
  EXPECT_EQ(response["id"], 7) << response;
  if (e.expected.contains("error"))
    EXPECT_EQ(response["error"]["code"], e.expected["error"]) << response;
  else
    EXPECT_EQ(response["result"], e.expected) << response;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ExchangeTest,
    ::testing::Values(
        Exchange{"unknown_method",
                 {{"method", "textDocument/frobnicate"}, {"params", json::object()}},
                 {{"error", -32601}}},
        Exchange{"never_opened",
                 {{"method", "textDocument/definition"}, {"params", at("file:///other.mb", 0, 0)}},
                 {{"error", -32602}}},
        Exchange{
            "no_position",
            {{"method", "textDocument/hover"}, {"params", {{"textDocument", {{"uri", kUri}}}}}},
            {{"error", -32602}}},
        Exchange{"position_a_string",
                 {{"method", "textDocument/completion"},
                  {"params", {{"textDocument", {{"uri", kUri}}}, {"position", "0:0"}}}},
                 {{"error", -32602}}},
        Exchange{"second_initialize",
                 {{"method", "initialize"}, {"params", json::object()}},
                 {{"error", -32600}}},
        Exchange{"unknown_command",
                 {{"method", "workspace/executeCommand"}, {"params", {{"command", "rm"}}}},
                 {{"error", -32602}}},
        Exchange{
            "compile_no_uri",
            {{"method", "workspace/executeCommand"}, {"params", {{"command", "quillon.compile"}}}},
            {{"error", -32602}}},
        // Past the end of the line and of the document: the end, never a failure.
        Exchange{"hover_past_the_end",
                 {{"method", "textDocument/hover"}, {"params", at(kUri, 4000, 99999)}},
                 nullptr},
        Exchange{"definition_outside_a_word",
                 {{"method", "textDocument/definition"}, {"params", at(kUri, 0, 5)}},
                 json::array()},
        Exchange{"definition_of_main",
                 {{"method", "textDocument/definition"}, {"params", at(kUri, 1, 13)}},
                 json::array({{{"uri", kUri}, {"range", range(2, 4, 2, 8)}}})},
        // The string holds a two-byte character: UTF-16 counts it once.
        Exchange{"references_after_non_ascii",
                 {{"method", "textDocument/references"}, {"params", at(kUri, 3, 7)}},
                 json::array({{{"uri", kUri}, {"range", range(3, 6, 3, 12)}},
                              {{"uri", kUri}, {"range", range(4, 13, 4, 19)}}})},
        Exchange{"signature_of_a_builtin",
                 {{"method", "textDocument/signatureHelp"}, {"params", at(kUri, 4, 2)}},
                 nullptr},
        Exchange{"shutdown", {{"method", "shutdown"}}, nullptr}),
    [](const ::testing::TestParamInfo<Exchange>& info) { return std::string(info.param.name); });

TEST(LanguageServerTest, LifecycleAndMalformedInputGetErrorsNotCrashes) {
  LspClient client;
  EXPECT_EQ(client.request("textDocument/hover", at(kUri, 0, 0))["error"]["code"], -32002);
  client.raw("Content-Length: 5\r\n\r\nnope!");
  EXPECT_EQ(client.sink.sent.back()["error"]["code"], -32700);
  EXPECT_TRUE(client.sink.sent.back()["id"].is_null());
  client.raw("Content-Lenght: 2\r\n\r\n");
  EXPECT_EQ(client.sink.sent.back()["error"]["code"], -32700);
  client.raw(lsp::frameMessage("[1, 2]"));
  EXPECT_EQ(client.sink.sent.back()["error"]["code"], -32600);
  client.raw(lsp::frameMessage(R"({"jsonrpc":"2.0","id":{"x":1},"method":"shutdown"})"));
  EXPECT_EQ(client.sink.sent.back()["error"]["code"], -32600);

  const json init = client.initialize();
  EXPECT_EQ(init["result"]["capabilities"]["positionEncoding"], "utf-16");
  EXPECT_EQ(init["result"]["capabilities"]["textDocumentSync"]["change"], 2);
  EXPECT_TRUE(client.request("shutdown")["result"].is_null());
  EXPECT_EQ(client.request("textDocument/hover", at(kUri, 0, 0))["error"]["code"], -32600);
  EXPECT_FALSE(client.server.exited());
  client.notify("exit");
  EXPECT_TRUE(client.server.exited());
  EXPECT_EQ(client.server.exitCode(), 0);
}

TEST(LanguageServerTest, ExitWithoutShutdownOrClosedInputEndsWithOne) {
  LspClient a;
  a.initialize();
  a.notify("exit");
  EXPECT_EQ(a.server.exitCode(), 1);
  LspClient b;
  b.initialize();
  b.server.inputClosed();
  EXPECT_TRUE(b.server.exited());
  EXPECT_EQ(b.server.exitCode(), 1);
}

TEST(LanguageServerTest, Utf8PositionsWhenTheClientOffersThem) {
  LspClient client;
  const json init = client.initialize(
      {{"capabilities", {{"general", {{"positionEncodings", {"utf-8", "utf-16"}}}}}}});
  EXPECT_EQ(init["result"]["capabilities"]["positionEncoding"], "utf-8");
  client.open(kUri, kText);
  // "  Note "ø" + answer": ø is two bytes, so answer starts at byte 14.
  const json refs = client.request("textDocument/references", at(kUri, 3, 7))["result"];
  ASSERT_EQ(refs.size(), 2u);
  EXPECT_EQ(refs[1]["range"], range(4, 14, 4, 20));
}

TEST(LanguageServerTest, IncrementalChangesReachTheAnswers) {
  LspClient client;
  client.initialize();
  client.open(kUri, kText);
  // Rename the Dim's name in place and add a line that uses it, past the non-ASCII comment.
  client.notify("textDocument/didChange",
                {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                 {"contentChanges",
                  {{{"range", range(3, 6, 3, 12)}, {"text", "reply"}},
                   {{"range", range(4, 13, 4, 19)}, {"text", "reply\n  Print reply"}}}}});
  EXPECT_EQ(client.server.document(kUri)->version(), 2);
  EXPECT_EQ(client.server.document(kUri)->line(5), "  Print reply");
  const json refs = client.request("textDocument/references", at(kUri, 5, 9))["result"];
  EXPECT_EQ(refs.size(), 3u) << refs;
  // A whole-text change replaces everything.
  client.notify("textDocument/didChange", {{"textDocument", {{"uri", kUri}, {"version", 3}}},
                                           {"contentChanges", {{{"text", "Sub Other\nEnd Sub"}}}}});
  EXPECT_EQ(client.server.document(kUri)->text(), "Sub Other\nEnd Sub");
  client.notify("textDocument/didClose", {{"textDocument", {{"uri", kUri}}}});
  EXPECT_EQ(client.request("textDocument/hover", at(kUri, 0, 5))["error"]["code"], -32602);
}

TEST(LanguageServerTest, DocumentSymbolsNestDimsAndLabelsInTheirRoutine) {
  LspClient client;
  client.initialize();
  client.open(kUri,
              "Include \"mapbasic.def\"\n"
              "Define LIMIT 5\n"
              "Global g_n As Integer\n"
              "Sub Main\n"
              "  Dim i As Integer\n"
              "Retry:\n"
              "End Sub\n"
              "Function Twice(ByVal x As Integer) As Integer\n"
              "  Twice = x * 2\n"
              "End Function\n");
  const json symbols =
      client.request("textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}})["result"];
  ASSERT_EQ(symbols.size(), 5u) << symbols;
  EXPECT_EQ(symbols[0]["kind"], 1);
  EXPECT_EQ(symbols[1]["name"], "LIMIT");
  EXPECT_EQ(symbols[1]["kind"], 14);
  EXPECT_EQ(symbols[2]["kind"], 13);
  const json& main = symbols[3];
  EXPECT_EQ(main["name"], "Main");
  EXPECT_EQ(main["range"], range(3, 0, 6, 7));
  EXPECT_EQ(main["selectionRange"], range(3, 4, 3, 8));
  ASSERT_EQ(main["children"].size(), 2u);
  EXPECT_EQ(main["children"][0]["detail"], "DIM");
  EXPECT_EQ(main["children"][1]["name"], "Retry");
  EXPECT_EQ(symbols[4]["range"]["end"]["line"], 9);
}

TEST(LanguageServerTest, CompletionOffersOwnNamesThenKeywordsAndDefines) {
  LspClient client;
  client.initialize();
  client.open(kUri, "Declare Sub Notify_User(ByVal s As String)\nSub Main\n  No\nEnd Sub\n");
  const json result = client.request("textDocument/completion", at(kUri, 2, 4))["result"];
  const json& items = result["items"];
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0]["label"], "Notify_User");
  EXPECT_EQ(items[0]["kind"], 3);
  EXPECT_EQ(items[0]["textEdit"]["range"], range(2, 2, 2, 4));
  bool note = false;
  for (const json& item : items)
    if (item["label"] == "Note") {
      note = true;
      EXPECT_EQ(item["kind"], 14);
      EXPECT_NE(item.value("detail", "").find("Note message"), std::string::npos) << item;
    }
  EXPECT_TRUE(note) << items;
  // The definitions list: "WIN_M" finds WIN_MAPPER.
  client.notify("textDocument/didChange",
                {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                 {"contentChanges", {{{"range", range(2, 2, 2, 4)}, {"text", "WIN_M"}}}}});
  const json tr = client.request("textDocument/completion", at(kUri, 2, 7))["result"]["items"];
  bool isTrue = false;
  for (const json& item : tr) isTrue |= item["label"] == "WIN_MAPPER" && item["kind"] == 21;
  EXPECT_TRUE(isTrue) << tr;
}

TEST(LanguageServerTest, SignatureHelpAndHover) {
  LspClient client;
  client.initialize();
  client.open(kUri,
              "Declare Sub Paint(ByVal x As Integer, ByVal y As Integer)\n"
              "Sub Main\n"
              "  Call Paint(1, Str$(2)\n"
              "End Sub\n");
  // After the comma of Paint: the second parameter.
  const json paint = client.request("textDocument/signatureHelp", at(kUri, 2, 16))["result"];
  EXPECT_EQ(paint["signatures"][0]["label"], "Paint(ByVal x As Integer, ByVal y As Integer)");
  EXPECT_EQ(paint["activeParameter"], 1);
  EXPECT_EQ(paint["signatures"][0]["parameters"][1]["label"], json::array({26, 44}));
  // Inside Str$( the built-in's form from the context file.
  const json str = client.request("textDocument/signatureHelp", at(kUri, 2, 21))["result"];
  EXPECT_EQ(str["signatures"][0]["label"].get<std::string>().rfind("Str$(", 0), 0u) << str;

  const json own = client.request("textDocument/hover", at(kUri, 2, 9))["result"];
  EXPECT_NE(own["contents"]["value"].get<std::string>().find("Declare Sub Paint(ByVal x"),
            std::string::npos)
      << own;
  const json keyword = client.request("textDocument/hover", at(kUri, 2, 3))["result"];
  EXPECT_NE(keyword["contents"]["value"].get<std::string>().find("Call"), std::string::npos)
      << keyword;
}

TEST(LanguageServerTest, SemanticTokensFollowTheKeyFile) {
  LspClient client;
  client.initialize();
  client.open(kUri, "Sub Paint\n  x = Str$(42) ' ø note\n  Call Paint\nEnd Sub\n");
  const json data = client.request("textDocument/semanticTokens/full",
                                   {{"textDocument", {{"uri", kUri}}}})["result"]["data"];
  // Decode to (line, start, length, type).
  std::vector<std::array<int, 4>> tokens;
  int line = 0, start = 0;
  for (std::size_t i = 0; i + 5 <= data.size(); i += 5) {
    const int dl = data[i], ds = data[i + 1];
    line += dl;
    start = dl == 0 ? start + ds : ds;
    tokens.push_back({line, start, data[i + 2].get<int>(), data[i + 3].get<int>()});
  }
  const auto has = [&](std::array<int, 4> t) {
    return std::find(tokens.begin(), tokens.end(), t) != tokens.end();
  };
  // Types: keyword 0, string 1, comment 2, number 3, function 4, macro 5.
  EXPECT_TRUE(has({0, 0, 3, 0}));   // Sub
  EXPECT_TRUE(has({0, 4, 5, 4}));   // Paint, the code's own Sub
  EXPECT_TRUE(has({1, 6, 4, 4}));   // Str$, a built-in function
  EXPECT_TRUE(has({1, 11, 2, 3}));  // 42
  EXPECT_TRUE(has({1, 15, 8, 2}));  // the comment, ø one unit
  EXPECT_TRUE(has({2, 7, 5, 4}));
}

TEST(LanguageServerTest, DefinitionAndReferencesAcrossProjectModulesAndIncludes) {
  testing::TempFolder folder;
  const auto dir = folder.path();
  testing::writeFile(dir / "tool.mbp",
                     "[LINK]\r\nApplication=tool.mbx\r\nModule=main.mbo\r\nModule=report.mbo\r\n");
  testing::writeFile(dir / "shared.def", "Define TABLE_NAME \"Parcels\"\r\n");
  testing::writeFile(dir / "report.mb",
                     "Include \"shared.def\"\r\nDeclare Sub WriteReport\r\nSub WriteReport\r\n  "
                     "Print TABLE_NAME\r\nEnd Sub\r\n");
  const std::string main =
      "Include \"shared.def\"\nDeclare Sub WriteReport\nSub Main\n  Call WriteReport\n  Print "
      "TABLE_NAME\nEnd Sub\n";
  testing::writeFile(dir / "main.mb", main);
  LspClient client;
  client.initialize({{"rootUri", pathToUri(dir)}});
  const std::string uri = pathToUri(dir / "main.mb");
  client.open(uri, main);

  const json sub = client.request("textDocument/definition", at(uri, 3, 9))["result"];
  ASSERT_EQ(sub.size(), 1u) << sub;
  EXPECT_EQ(sub[0]["uri"], pathToUri(dir / "report.mb"));
  EXPECT_EQ(sub[0]["range"], range(2, 4, 2, 15));
  const json define = client.request("textDocument/definition", at(uri, 4, 10))["result"];
  ASSERT_EQ(define.size(), 1u) << define;
  EXPECT_EQ(define[0]["uri"], pathToUri(dir / "shared.def"));

  const json refs = client.request("textDocument/references", at(uri, 4, 10))["result"];
  std::set<std::string> files;
  for (const json& r : refs) files.insert(r["uri"]);
  EXPECT_EQ(files, (std::set<std::string>{uri, pathToUri(dir / "report.mb"),
                                          pathToUri(dir / "shared.def")}))
      << refs;

  const json symbols = client.request("workspace/symbol", {{"query", "writerep"}})["result"];
  ASSERT_FALSE(symbols.empty());
  for (const json& s : symbols) EXPECT_EQ(s["name"], "WriteReport");
}

TEST(LanguageServerTest, CompileDiagnosticsLandOnTheirFilesAndClearAgain) {
  testing::TempFolder folder;
  const auto dir = folder.path();
  testing::writeFile(dir / "inc.def", "Define X 1\r\nDefine Y ø\r\n");
  const std::string text = "Include \"inc.def\"\nSub Main\n  Nott\nEnd Sub\n";
  testing::writeFile(dir / "a.mb", text);
  LspClient client;
  client.initialize({{"initializationOptions", {{"quillon", {{"mapbasicFolder", "/opt/mb"}}}}}});
  const std::string uri = pathToUri(dir / "a.mb");
  client.open(uri, text);
  client.notify("textDocument/didSave", {{"textDocument", {{"uri", uri}}}});
  ASSERT_EQ(client.compiler.calls.size(), 1u);
  EXPECT_EQ(client.compiler.lastSettings.mapBasicFolder, "/opt/mb");
  // A second save while the first still runs: only the later outcome counts.
  client.notify("textDocument/didSave", {{"textDocument", {{"uri", uri}}}});
  ASSERT_EQ(client.compiler.calls.size(), 2u);
  using Outcome = SourceCompiler::Outcome;
  client.compiler.calls[1].done(
      Outcome{Outcome::Kind::failed,
              "COMPILE FAILED....",
              {{{}, 3, "(a.mb:3) Unrecognized command: Nott."},
               {dir / "inc.def", 2, "(inc.def:2) Expecting end of statement."}}});
  client.compiler.calls[0].done(Outcome{Outcome::Kind::compiled, "", {}});
  std::vector<json> published = client.notifications("textDocument/publishDiagnostics");
  ASSERT_EQ(published.size(), 2u);
  std::map<std::string, json> byUri;
  for (const json& p : published) byUri[p["uri"]] = p["diagnostics"];
  ASSERT_EQ(byUri[uri].size(), 1u);
  EXPECT_EQ(byUri[uri][0]["range"], range(2, 0, 2, 6));
  const json& inc = byUri[pathToUri(dir / "inc.def")];
  ASSERT_EQ(inc.size(), 1u);
  EXPECT_EQ(inc[0]["range"], range(1, 0, 1, 10));  // ø read from a file counts once

  // The next clean compile clears both.
  client.request("workspace/executeCommand",
                 {{"command", "quillon.compile"}, {"arguments", {uri}}});
  ASSERT_EQ(client.compiler.calls.size(), 3u);
  client.compiler.calls[2].done(Outcome{Outcome::Kind::compiled, "COMPILED APP: a.mbx", {}});
  published = client.notifications("textDocument/publishDiagnostics");
  ASSERT_EQ(published.size(), 4u);
  EXPECT_TRUE(published[2]["diagnostics"].empty());
  EXPECT_TRUE(published[3]["diagnostics"].empty());
}

TEST(LanguageServerTest, MissingCompilerIsToldOnceAndServingGoesOn) {
  LspClient client;
  client.initialize();
  client.open(kUri, kText);
  using Outcome = SourceCompiler::Outcome;
  for (int i = 0; i < 2; ++i) {
    client.notify("textDocument/didSave", {{"textDocument", {{"uri", kUri}}}});
    client.compiler.calls.back().done(
        Outcome{Outcome::Kind::noCompiler, "No MapBasic compiler found", {}});
  }
  const auto messages = client.notifications("window/showMessage");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0]["message"], "No MapBasic compiler found");
  EXPECT_FALSE(client.request("textDocument/definition", at(kUri, 1, 13))["result"].empty());
}

TEST(LanguageServerTest, ABurstOfRequestsIsAnsweredInOrder) {
  LspClient client;
  client.initialize();
  client.open(kUri, kText);
  std::string burst;
  for (int i = 0; i < 1000; ++i)
    burst += frameMessage(json{{"jsonrpc", "2.0"},
                               {"id", 100 + i},
                               {"method", "textDocument/hover"},
                               {"params", at(kUri, i % 7, i % 13)}}
                              .dump());
  const std::size_t before = client.sink.sent.size();
  client.raw(burst);
  ASSERT_EQ(client.sink.sent.size(), before + 1000);
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(client.sink.sent[before + i]["id"], 100 + i);
}

TEST(LanguageServerTest, ATenMegabyteDocumentIsServed) {
  std::string big;
  while (big.size() < (10u << 20))
    big += "Sub Step" + std::to_string(big.size()) + "\n  Call Step0\nEnd Sub\n";
  LspClient client;
  client.initialize();
  client.open(kUri, big);
  const std::int64_t last =
      client.server.document(kUri)->lineCount() - 3;  // the Call of the last Sub
  client.notify("textDocument/didChange",
                {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                 {"contentChanges",
                  {{{"range", range(static_cast<int>(last), 2, static_cast<int>(last), 2)},
                    {"text", "'"}}}}});
  EXPECT_EQ(client.server.document(kUri)->line(last), "  'Call Step0");
  const json def = client.request("textDocument/definition", at(kUri, 1, 9))["result"];
  ASSERT_EQ(def.size(), 1u);
  EXPECT_EQ(def[0]["range"]["start"]["line"], 0);
}

TEST(LanguageServerTest, ConfigurationChangesReloadTheWordLists) {
  testing::TempFolder folder;
  testing::writeFile(folder.path() / "mine.ctx", "Frobnicate x  -- my own statement\r\n");
  LspClient client;
  client.initialize();
  client.open(kUri, "Frobnicate\n");
  EXPECT_TRUE(client.request("textDocument/hover", at(kUri, 0, 2))["result"].is_null());
  client.notify(
      "workspace/didChangeConfiguration",
      {{"settings", {{"quillon", {{"contextFile", (folder.path() / "mine.ctx").string()}}}}}});
  const json hover = client.request("textDocument/hover", at(kUri, 0, 2))["result"];
  EXPECT_NE(hover["contents"]["value"].get<std::string>().find("my own statement"),
            std::string::npos)
      << hover;
  // A file that is not there is reported, and serving goes on.
  client.notify("workspace/didChangeConfiguration",
                {{"settings", {{"keyFile", "/nowhere/keys.bin"}}}});
  EXPECT_FALSE(client.notifications("window/showMessage").empty());
}

}  // namespace
}  // namespace quillon::lsp
