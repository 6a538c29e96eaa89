#pragma once

#include <optional>
#include <string_view>
#include <vector>

class ProfileFile;

// A saved column layout of a report control, as one profile entry holds it:
// "(N,M,N widths,M sub-items in display order)". Every number follows one separator character
// of any kind; the first follows the opening character.
class ReportLayout {
  public:
    // The layout in the profile's section and entry, for a control with the given number of
    // sub-item definitions. Nothing when the entry is missing or empty, or when Parse rejects it.
    static std::optional<ReportLayout> Load(const ProfileFile& profile, std::string_view section,
                                            std::string_view entry, int definitions);
    // Nothing when N is not definitions, when M is 0 or less, or when the text ends before its
    // last number.
    static std::optional<ReportLayout> Parse(std::string_view text, int definitions);

    // The width of every sub-item, in definition order.
    const std::vector<int>& Widths() const;
    // The shown sub-items in display order.
    const std::vector<int>& Order() const;

  private:
    std::vector<int> m_widths;
    std::vector<int> m_order;
};
