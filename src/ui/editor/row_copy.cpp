#include "ui/editor/row_copy.h"

#include "ui/editor/field_controls.h"

namespace corvanta {

namespace {

// Every record of `page`: the one array each row page edits.
template <typename F>
void withRecords(ParameterValues& v, int page, F&& f) {
  switch (page) {
    case kZonesPage: f(v.zones); break;
    case kUsersPage: f(v.users); break;
    case kEventsPage: f(v.events); break;
    case kRelaysPage: f(v.relayRows); break;
    case kRemotesPage: f(v.remotes); break;
    default: break;
  }
}

void keepOwn(ZoneRecord& to, const ZoneRecord& was, const PasteOptions& o) {
  if (!o.names) to.name = was.name;
}
void keepOwn(UserRecord& to, const UserRecord& was, const PasteOptions& o) {
  if (!o.names) to.name = was.name;
  if (!o.codes) to.code = was.code;
}
void keepOwn(EventRecord& to, const EventRecord& was, const PasteOptions& o) {
  if (!o.sms) to.sms = was.sms;
}
void keepOwn(RelayRow&, const RelayRow&, const PasteOptions&) {}
void keepOwn(RemoteControlRecord&, const RemoteControlRecord&, const PasteOptions&) {}

}  // namespace

PasteOptions pasteOffer(int page) {
  PasteOptions offer;
  offer.names = page == kZonesPage || page == kUsersPage;
  offer.codes = page == kUsersPage;
  offer.sms = page == kEventsPage;
  return offer;
}

bool offersAnything(const PasteOptions& o) { return o.names || o.codes || o.sms; }

void pasteRow(ParameterValues& values, int page, const ParameterValues& from, int source,
              const std::vector<int>& targets, const PasteOptions& options) {
  ParameterValues copy = from;
  withRecords(copy, page, [&](auto& sources) {
    if (source < 0 || source >= int(sources.size())) return;
    const auto row = sources[std::size_t(source)];
    withRecords(values, page, [&](auto& records) {
      using Record = typename std::decay_t<decltype(records)>::value_type;
      if constexpr (std::is_same_v<Record, std::decay_t<decltype(row)>>) {
        for (int t : targets) {
          if (t < 0 || t >= int(records.size())) continue;
          Record pasted = row;
          keepOwn(pasted, records[std::size_t(t)], options);
          records[std::size_t(t)] = pasted;
        }
      }
    });
  });
}

RowRecords keepRecords(const ParameterValues& values, int page, const std::vector<int>& records) {
  return {page, records, values};
}

void putBack(ParameterValues& values, const RowRecords& kept) {
  ParameterValues from = kept.values;
  withRecords(from, kept.page, [&](auto& saved) {
    withRecords(values, kept.page, [&](auto& records) {
      using Record = typename std::decay_t<decltype(records)>::value_type;
      if constexpr (std::is_same_v<Record, typename std::decay_t<decltype(saved)>::value_type>) {
        for (int r : kept.records)
          if (r >= 0 && r < int(records.size())) records[std::size_t(r)] = saved[std::size_t(r)];
      }
    });
  });
}

}  // namespace corvanta
