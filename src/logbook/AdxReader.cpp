// AdxReader.cpp - the XML form of ADIF through Qt's stream reader.
#include <QFile>
#include <QXmlStreamReader>

#include "logbook/AdifReader.h"

namespace merivac {

LogbookRead ReadAdx(const std::string& path, const LogbookFilter& filter) {
  LogbookRead out;
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    out.problem = "cannot read " + path;
    return out;
  }
  QXmlStreamReader xml(&file);
  bool inRecords = false;
  bool sawRecords = false;
  bool inRecord = false;
  AdifRecord record;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
      const QString name = xml.name().toString().toUpper();
      if (name == "RECORDS") {
        inRecords = sawRecords = true;
      } else if (inRecords && name == "RECORD") {
        inRecord = true;
        record = AdifRecord{};
      } else if (inRecord) {
        std::string* field = name == "CALL"   ? &record.call
                             : name == "BAND" ? &record.band
                             : name == "FREQ" ? &record.freq
                             : name == "MODE" ? &record.mode
                                              : nullptr;
        if (field != nullptr) {
          *field =
              xml.readElementText(QXmlStreamReader::IncludeChildElements).toUpper().toStdString();
        }
      }
    } else if (token == QXmlStreamReader::EndElement) {
      const QString name = xml.name().toString().toUpper();
      if (inRecord && name == "RECORD") {
        if (AcceptRecord(record, filter)) out.calls.push_back(record.call);
        inRecord = false;
      } else if (name == "RECORDS") {
        inRecords = false;
      }
    }
  }
  if (xml.hasError()) {
    out.problem = "XML error in line " + std::to_string(xml.lineNumber()) + ": " +
                  xml.errorString().toStdString();
    if (!sawRecords) return out;  // count stays -1
  }
  out.count = static_cast<int>(out.calls.size());
  return out;
}

}  // namespace merivac
