// A set of mutually exclusive options: at most one member may be given per parse.
#pragma once

#include "commandOptions/HashOrderTable.h"
#include "commandOptions/Option.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// Mutually exclusive options, filed under "--" + long name in a hash-ordered table.
class OptionGroup {
public:
  /// Adds a member; returns the group.
  OptionGroup &addOption(const Option &option);
  /// The member keys "--" + long name, in the group's table order.
  std::vector<std::string> getNames() const { return members_.keys(); }
  /// The members, in the group's table order.
  std::vector<Option> getOptions() const { return members_.values(); }
  /// Records option as this parse's choice. Throws AlreadySelectedException when another
  /// member was chosen already; choosing the same member again is allowed.
  void setSelected(const Option &option);
  /// The long name of the chosen member, or nothing.
  const std::optional<std::string> &getSelected() const { return selected_; }
  /// Forgets the choice (each parse starts afresh).
  void clearSelected() { selected_.reset(); }
  void setRequired(bool required) { required_ = required; }
  bool isRequired() const { return required_; }
  /// Clears the required flag of every member (members of a group are never required
  /// one by one; the group as a whole may be).
  void clearMembersRequired();
  /// Text form: "[--a description, --b]".
  std::string toString() const;

private:
  HashOrderTable<Option> members_;
  std::optional<std::string> selected_;
  bool required_ = false;
};

} // namespace vantrel::commandOptions
