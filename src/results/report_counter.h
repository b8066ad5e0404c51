#pragma once
// The report counter (section "TEMPLATE", key "number" of the default profile file), held for
// one report: the folder of the file is locked while the counter is read, the report written and
// the new number stored, so reports made at once on one station never share a number.

#include <cstdint>
#include <string>

namespace xkv {

class report_counter {
public:
    // Waits for another report to let go, at most lock_wait_ms; throws file_error after that.
    explicit report_counter(std::string counter_path);
    ~report_counter();
    report_counter(const report_counter&) = delete;
    report_counter& operator=(const report_counter&) = delete;

    static constexpr int lock_wait_ms = 10000;

    // The stored number (1 when absent) plus one, as text.
    std::string next() const;
    std::int32_t stored() const;
    // Stores the number made of the text's digits.
    void store(const std::string& number) const;
    void restore(std::int32_t number) const;

private:
    std::string path_;
    int folder_fd_ = -1;
};

} // namespace xkv
