// The option table of a tool: options filed by long name (hash-ordered) and by short name.
#pragma once

#include "commandOptions/HashOrderTable.h"
#include "commandOptions/Option.h"
#include "commandOptions/OptionGroup.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// One entry of the required list: "--" + long name of a required option, or a required
/// group.
struct RequiredEntry {
  std::string key;                          ///< "--" + long name; empty for a group
  std::shared_ptr<const OptionGroup> group; ///< the group, or nullptr for an option

  /// The text the missing-option message shows: the key, or the group's text form.
  std::string text() const { return group ? group->toString() : key; }
};

/// The table of a tool's options. Options are filed under "--" + long name in a
/// hash-ordered table (its order is the order of the help's usage line) and, when they
/// have one, under "-" + short name.
class Options {
public:
  /// Files option under its long name (replacing an earlier option of that name, which
  /// keeps its place) and short name; a required option joins the required list.
  Options &addOption(const Option &option);
  /// Constructs an option (names validated) and adds it.
  Options &addOption(const std::string &longOpt, const std::optional<std::string> &shortOpt, bool takesValue,
                     const std::string &description);
  Options &addOption(const std::string &longOpt, char shortOpt, bool takesValue,
                     const std::string &description);
  Options &addOption(const std::string &longOpt, bool takesValue, const std::string &description);
  /// Adds every member of group (with its required flag cleared) and records the group;
  /// a required group joins the required list.
  Options &addOptionGroup(const OptionGroup &group);

  /// Lookup: "--x" in the long table, "-x" in the short table, a bare x as "--x" and
  /// then as "-x".
  bool hasOption(const std::string &key) const;
  bool hasOption(char key) const { return hasOption(std::string(1, key)); }
  /// The option under key (same lookup), as a fresh copy (Option::clone), or nothing.
  std::optional<Option> getOption(const std::string &key) const;
  /// The group the option belongs to, or nullptr.
  std::shared_ptr<const OptionGroup> getOptionGroup(const Option &option) const;
  /// The required entries in order of addition.
  const std::vector<RequiredEntry> &getRequiredOptions() const { return requiredOpts_; }
  /// The options of the long table in its iteration order.
  std::vector<Option> getOptions() const { return longOpts_.values(); }
  /// The same options as a new list (the help formatter sorts it).
  std::vector<Option> helpOptions() const { return longOpts_.values(); }
  /// Number of buckets of the long table (shows how its order was formed).
  std::size_t bucketCount() const { return longOpts_.bucketCount(); }

private:
  const Option *lookup(const std::string &key) const;

  HashOrderTable<Option> longOpts_;
  std::map<std::string, Option> shortOpts_;
  std::vector<RequiredEntry> requiredOpts_;
  std::map<std::string, std::shared_ptr<const OptionGroup>> optionGroups_;
};

} // namespace vantrel::commandOptions
