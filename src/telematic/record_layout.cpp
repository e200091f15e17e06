// What the tables of a layout give the other readers of its records: the
// record a writer fills, a field found by how it is filled, the format check
// derived from the tables, and the sections a frontispiece summarises.
#include "telematic/record_layout.h"

#include <stdexcept>
#include <string>

namespace zelmora::telematic {

namespace {

DetailLayout DetailOf(const RecordSpec& record) {
  DetailLayout detail{record.type, record.list, record.periodicity, LayoutOf(record), 0, 0, 0};
  for (const FieldSpec& field : record.fields) {
    if (field.fill == FieldSource::kAmount || field.fill == FieldSource::kCorrectionAmount) {
      detail.amount_start = field.start;
      detail.amount_length = field.length;
    }
    if (field.fill == FieldSource::kSign) detail.sign_start = field.start;
  }
  return detail;
}

// A field every layout has; a table without it is a fault of the table.
const FieldSpec& Required(const RecordSpec& record, FieldSource fill) {
  const FieldSpec* field = FindField(record, fill);
  if (!field) throw std::logic_error("the " + std::string(record.name) + " table has no field it needs");
  return *field;
}

}  // namespace

RecordLayout LayoutOf(const RecordSpec& record) {
  RecordLayout out{record.name, record.length, {}};
  for (const FieldSpec& field : record.fields) {
    out.fields.push_back({field.start, field.length, field.kind, field.name, field.literal, field.low, field.high});
  }
  return out;
}

const RecordSpec* FindRecord(const LayoutSpec& layout, char type, char list, char periodicity) {
  if (type == '0') {
    for (const RecordSpec& front : layout.frontispieces) {
      if (front.list == 0 || front.list == list) return &front;
    }
    return nullptr;
  }
  for (const RecordSpec& record : layout.details) {
    if (record.type == type && record.list == list && (record.periodicity == 0 || record.periodicity == periodicity)) {
      return &record;
    }
  }
  return nullptr;
}

const FieldSpec* FindField(const RecordSpec& record, FieldSource fill) {
  for (const FieldSpec& field : record.fields) {
    if (field.fill == fill) return &field;
  }
  return nullptr;
}

void DeriveDeclarationFormat(const LayoutSpec& layout, SubmissionFormat& f) {
  const RecordSpec& front = layout.frontispieces.front();
  f.frontispiece = LayoutOf(front);
  f.list_frontispieces.clear();
  if (layout.frontispieces.size() > 1) {
    for (const RecordSpec& each : layout.frontispieces) f.list_frontispieces.emplace_back(each.list, LayoutOf(each));
  }
  f.frontispiece_type = '0';
  f.type_position = Required(front, FieldSource::kType).start;
  const FieldSpec& line = Required(front, FieldSource::kLineNumber);
  f.line_start = line.start;
  f.line_length = line.length;
  // What every detail repeats of its frontispiece: the presenter and the
  // submission number, side by side.
  const FieldSpec& presenter = Required(front, FieldSource::kPresenterVat);
  const FieldSpec& submission = Required(front, FieldSource::kSubmission);
  f.shared_start = presenter.start;
  f.shared_length = submission.start + submission.length - presenter.start;
  f.list_position = Required(front, FieldSource::kList).start;
  f.periodicity_position = Required(front, FieldSource::kPeriodicity).start;
  const FieldSpec& period = Required(front, FieldSource::kPeriod);
  f.period_start = period.start;
  f.period_length = period.length;

  // The prefix: the fields of a detail record up to its line number.
  f.prefix = {"declaration", line.start + line.length - 1, {}};
  for (const FieldSpec& field : layout.details.front().fields) {
    if (field.start > line.start) break;
    f.prefix.fields.push_back({field.start, field.length, field.kind, field.name, field.literal, field.low, field.high});
  }
  f.details.clear();
  for (const RecordSpec& record : layout.details) f.details.push_back(DetailOf(record));

  // Each section's count and total where the frontispieces have them; a
  // section only some lists have belongs to the first of them.
  f.sections.clear();
  static constexpr struct {
    char type;
    std::string_view name;
    FieldSource count, total;
  } kSections[] = {{'1', "goods", FieldSource::kCount1, FieldSource::kTotal1},
                   {'2', "goods corrections", FieldSource::kCount2, FieldSource::kTotal2},
                   {'3', "services", FieldSource::kCount3, FieldSource::kTotal3},
                   {'4', "service corrections", FieldSource::kCount4, FieldSource::kTotal4},
                   {'5', "call-off stock", FieldSource::kCount5, FieldSource::kCount5}};
  for (const auto& section : kSections) {
    const RecordSpec* first = nullptr;
    bool everyList = true;
    for (const RecordSpec& each : layout.frontispieces) {
      if (!FindField(each, section.count)) {
        everyList = false;
      } else if (!first) {
        first = &each;
      }
    }
    if (!first) continue;
    const FieldSpec& count = Required(*first, section.count);
    const FieldSpec* total = section.total == section.count ? nullptr : FindField(*first, section.total);
    f.sections.push_back({section.type, section.name, count.start, count.length, total ? total->start : 0,
                          total ? total->length : 0, total && total->kind == FieldKind::kLetter,
                          everyList ? '\0' : first->list});
  }
}

std::vector<SectionSummary> Sections(const SubmissionFormat& format, std::string_view frontispiece) {
  std::vector<SectionSummary> out;
  if (frontispiece.size() < format.list_position) return out;
  const char list = frontispiece[format.list_position - 1];
  size_t length = format.frontispiece.length;
  for (const auto& [character, layout] : format.list_frontispieces) {
    if (character == list) length = layout.length;
  }
  if (frontispiece.size() != length) return out;
  for (const SectionTotal& section : format.sections) {
    if (section.list != 0 && section.list != list) continue;
    out.push_back({section.type, section.name, frontispiece.substr(section.count_start - 1, section.count_length),
                   section.total_length == 0 ? std::string_view()
                                             : frontispiece.substr(section.total_start - 1, section.total_length),
                   section.letter_coded});
  }
  return out;
}

}  // namespace zelmora::telematic
