// The device's date and time patterns as the date pictures (\@ "...") that
// word processors' DATE and TIME fields take.
#pragma once

#include <string>
#include <string_view>

namespace zentoro {

struct DatePicture {
    std::string picture;  // for example "dd-MM-yyyy" or "h:mm am/pm"
    bool hasDate = false; // false: a time of day only
};

// Translates a pattern such as "%D%M%Y%/0%1%/1%2%/2%3%/3" (day, month and
// year in that order, with date separators) or "%*J%:1%T%B" (hour without
// a leading zero, time separator, minutes, am/pm). The separators come from
// `expansion`, the field's latest text, where it shows them. Codes it does
// not know are left out.
DatePicture datePicture(std::string_view pattern, std::string_view expansion);

}  // namespace zentoro
