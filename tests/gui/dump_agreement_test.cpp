// The window and zelctl show every setting of the model in the same words: a
// window on one simulated unit and `zelctl dump --json` on a simulator process
// of the same make-up, counters held still so both read the same values.
#include <map>
#include <utility>

#include "json_document.h"
#include "panel_framework.h"
#include "panels.h"
#include "process_harness.h"
#include "sim_process.h"
#include "sim_window_fixture.h"

namespace {

constexpr int kZelctlLimitMs = 120000;

using Texts = std::map<std::pair<int, int>, std::string>;

Texts DumpTexts(int mode, std::string* failure) {
    SimProcess sim({"--mode", std::to_string(mode), "--still-counters"});
    const std::string port = sim.FirstLine();
    if (port.empty()) {
        *failure = sim.Error();
        return {};
    }
    TempDir home;
    const ProcessResult result = RunProcess(
        {ZELCTL_PATH, "--port", port, "--json", "dump"},
        {"HOME=" + home.Path(), "XDG_CONFIG_HOME=" + home.File("config"), "LC_ALL=C"}, kZelctlLimitMs);
    Json document;
    std::string error;
    if (result.exitCode != 0 || !ParseJsonDocument(result.out, &document, &error)) {
        *failure = "zelctl dump: exit " + std::to_string(result.exitCode) + " " + error + "\n" + result.err;
        return {};
    }
    Texts texts;
    for (const Json& item : document["settings"])
        texts[{item["category"].get<int>(), item["setting"].get<int>()}] =
            item.contains("text") ? item["text"].get<std::string>() : "(no text)";
    return texts;
}

class DumpAgreementTest : public SimWindowTest, public testing::WithParamInterface<int> {};

TEST_P(DumpAgreementTest, EveryFieldReadsAsZelctlDumpShowsIt) {
    const int mode = GetParam();
    SimConfig config;
    config.mode = mode;
    config.countersMove = false;
    Connect(config);
    ASSERT_EQ(app_->DeviceMode, mode);

    std::string failure;
    const Texts dumped = DumpTexts(mode, &failure);
    ASSERT_FALSE(dumped.empty()) << failure;

    int compared = 0;
    for (const PanelControls* panel : AllPanelControls()) {
        if (!PanelUsable(*FindPanel(panel->category), mode)) continue;
        // The control map covers the model's panel whole.
        ASSERT_EQ(panel->fields.size(), FindPanel(panel->category)->settings.size()) << panel->category;
        for (const PanelField& field : panel->fields) {
            const auto found = dumped.find({field.view->category, field.view->setting});
            ASSERT_NE(found, dumped.end()) << QualifiedName(*field.view);
            EXPECT_EQ(window_->Edit(field.field)->text().toStdString(), found->second)
                << QualifiedName(*field.view);
            ++compared;
        }
    }
    EXPECT_EQ(compared, int(dumped.size()));
}

INSTANTIATE_TEST_SUITE_P(BothModes, DumpAgreementTest, testing::Values(0, 1));

}  // namespace
