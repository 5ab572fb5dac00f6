// A set of mutually exclusive options: at most one member may be given per parse.
#include "commandOptions/OptionGroup.h"

#include "commandOptions/OptionMessages.h"
#include "commandOptions/ParseException.h"

namespace vantrel::commandOptions {

OptionGroup &OptionGroup::addOption(const Option &option) {
  members_.put("--" + option.getLongOpt(), option);
  return *this;
}

void OptionGroup::setSelected(const Option &option) {
  if (!selected_ || *selected_ == option.getLongOpt()) {
    selected_ = option.getLongOpt();
    return;
  }
  throw AlreadySelectedException(messages::ALREADY_SELECTED + *selected_ + "'");
}

void OptionGroup::clearMembersRequired() {
  HashOrderTable<Option> cleared;
  members_.forEach([&cleared](const std::string &key, const Option &member) {
    Option copy = member;
    copy.setRequired(false);
    cleared.put(key, copy);
  });
  members_ = std::move(cleared);
}

std::string OptionGroup::toString() const {
  std::string text = "[";
  bool first = true;
  members_.forEach([&](const std::string &, const Option &member) {
    if (!first) text += ", ";
    first = false;
    text += "--" + member.getLongOpt();
    if (member.hasDescription()) text += " " + *member.getDescription();
  });
  return text + "]";
}

} // namespace vantrel::commandOptions
