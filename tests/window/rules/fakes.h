#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "window/rules/results_layout.h"
#include "window/rules/settings_store.h"
#include "window/rules/window_geometry.h"

namespace karuneo::testing {

class FakeWindow final : public WindowGeometry {
  public:
    WindowState State() const override { return state; }
    void SetMaximized() override { state = WindowState::kMaximized; }
    TwipRect Outer() const override { return outer; }
    void SetOuter(const TwipRect& rect) override { outer = rect; }
    void SetOuterWidth(float width) override { outer.width = width; }
    void SetOuterHeight(float height) override { outer.height = height; }

    WindowState state = WindowState::kNormal;
    TwipRect outer{1200, 900, 11265, 6030};
};

// Takes every length as given, unless `list_width_read_back` says the
// toolkit settled the list otherwise.
class FakeLayout final : public ResultsLayout {
  public:
    void SetFrameWidth(float width) override { frame_width = width; }
    void SetFrameHeight(float height) override { frame_height = height; }
    void SetListWidth(float width) override { list_width = width; }
    void SetListHeight(float height) override { list_height = height; }
    float ListWidth() const override {
        return list_width_read_back >= 0 ? list_width_read_back : list_width;
    }
    void CreateColumns() override { columns += 2; }
    void SetColumnWidths(float first, float second) override {
        first_column = first;
        second_column = second;
    }

    float frame_width = -1;
    float frame_height = -1;
    float list_width = -1;
    float list_height = -1;
    float list_width_read_back = -1;
    int columns = 0;
    float first_column = -1;
    float second_column = -1;
};

using Write = std::pair<std::string, std::string>;  // "section/key", value

class RecordingStore final : public SettingsStore {
  public:
    std::string Read(std::string_view section, std::string_view key) override {
        const auto found = values.find(Path(section, key));
        return found == values.end() ? std::string() : found->second;
    }
    void Write(std::string_view section, std::string_view key, std::string_view value) override {
        writes.emplace_back(Path(section, key), value);
        values[Path(section, key)] = value;
    }

    static std::string Path(std::string_view section, std::string_view key) {
        return std::string(section) + "/" + std::string(key);
    }

    std::map<std::string, std::string> values;
    std::vector<testing::Write> writes;
};

}  // namespace karuneo::testing
