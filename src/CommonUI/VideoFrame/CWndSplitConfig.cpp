#include "CWndSplitConfig.h"

#include <kwl/KPrintLog.h>

#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <pugixml.hpp>

namespace {

QString layoutPath()
{
    return QStringLiteral("./") + CWndSplitConfig::kFileName;
}

QString backupPath()
{
    return QStringLiteral("./%1/%2").arg(CWndSplitConfig::kBackupFolder, CWndSplitConfig::kFileName);
}

pugi::xml_parse_result parseLayout(pugi::xml_document &doc)
{
    return doc.load_file(QFile::encodeName(layoutPath()).constData(), pugi::parse_default,
                         pugi::encoding_auto);
}

// A broken layout file is replaced by the copy delivered beside it, when there is one.
void restoreBackup()
{
    if (!QFile::exists(backupPath()))
        return;
    if (QFile::exists(layoutPath()))
        QFile::remove(layoutPath());
    QFile::copy(backupPath(), layoutPath());
}

// The n-th child of a "Split" fills cell n whatever its name, so a stray text is a cell of
// zeros; cells past the entry's capacity are dropped.
void readEntry(const pugi::xml_node &split, WndSplitEntry_t &entry)
{
    entry = WndSplitEntry_t();
    entry.row = split.attribute("row").as_int();
    entry.col = split.attribute("col").as_int();
    entry.count = split.attribute("count").as_int();
    int n = 0;
    for (const pugi::xml_node &child : split.children()) {
        if (n == WndSplitEntry_t::kMaxCells)
            break;
        WndSplitCell_t &cell = entry.cells[n++];
        cell.enable = child.attribute("enable").as_bool();
        cell.combine = child.attribute("combine").as_int();
        cell.x1 = child.attribute("x1").as_int();
        cell.y1 = child.attribute("y1").as_int();
        cell.x2 = child.attribute("x2").as_int();
        cell.y2 = child.attribute("y2").as_int();
    }
}

void writeEntry(pugi::xml_node parent, const WndSplitEntry_t &entry)
{
    pugi::xml_node split = parent.append_child("Split");
    split.append_attribute("row") = entry.row;
    split.append_attribute("col") = entry.col;
    split.append_attribute("count") = entry.count;
    const int cells = int(std::clamp<int64_t>(int64_t(entry.row) * entry.col, 0,
                                               WndSplitEntry_t::kMaxCells));
    for (int i = 0; i < cells; ++i) {
        const WndSplitCell_t &cell = entry.cells[i];
        pugi::xml_node wnd = split.append_child("Wnd");
        wnd.append_attribute("id") = i;
        wnd.append_attribute("enable") = cell.enable;
        wnd.append_attribute("combine") = cell.combine;
        wnd.append_attribute("x1") = cell.x1;
        wnd.append_attribute("y1") = cell.y1;
        wnd.append_attribute("x2") = cell.x2;
        wnd.append_attribute("y2") = cell.y2;
    }
}

} // namespace

CWndSplitConfig *CWndSplitConfig::instance()
{
    // Created once under the language's guarded initialisation and deliberately never destroyed:
    // frames may still ask for layouts while the process exits.
    static CWndSplitConfig *const store = [] {
        auto *config = new CWndSplitConfig;
        config->load();
        return config;
    }();
    return store;
}

CWndSplitConfig::CWndSplitConfig()
{
    m_customSplits.append(WndSplitEntry_t());
}

const WndSplitEntry_t *CWndSplitConfig::normalSplit(int index) const
{
    if (index < 0 || index >= kNormalCount)
        return nullptr;
    return &m_normalSplits[index];
}

bool CWndSplitConfig::load()
{
    pugi::xml_document doc;
    pugi::xml_parse_result result = parseLayout(doc);
    if (result.status == pugi::status_out_of_memory)
        return false;
    if (!result || !doc.child("WndSplit")) {
        KLOG(6, "%s unreadable (%s), restoring the backup", kFileName, result.description());
        restoreBackup();
        result = parseLayout(doc);
        if (!result || !doc.child("WndSplit")) {
            KLOG(6, "%s unreadable after restoring the backup (%s)", kFileName,
                 result.description());
            return false;
        }
    }
    const pugi::xml_node normal = doc.child("WndSplit").child("NormalSplit");
    if (!normal)
        return false;
    m_normalSplits[0] = WndSplitEntry_t();
    int filled = 0;
    for (const pugi::xml_node &split : normal.children("Split")) {
        if (filled == kNormalCount)
            break;
        readEntry(split, m_normalSplits[filled++]);
    }
    return true;
}

bool CWndSplitConfig::save() const
{
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("WndSplit");

    pugi::xml_node normal = root.append_child("NormalSplit");
    for (const WndSplitEntry_t &entry : m_normalSplits)
        writeEntry(normal, entry);
    pugi::xml_node custom = root.append_child("CustomSplit");
    for (const WndSplitEntry_t &entry : m_customSplits)
        writeEntry(custom, entry);
    pugi::xml_node rm = root.append_child("RMLastThree");
    rm.append_attribute("count") = m_rmCount;
    for (const WndSplitEntry_t &entry : m_rmLastThree)
        writeEntry(rm, entry);
    pugi::xml_node pb = root.append_child("PBLastThree");
    pb.append_attribute("count") = m_pbCount;
    for (const WndSplitEntry_t &entry : m_pbLastThree)
        writeEntry(pb, entry);
    for (int i = 0; i < kMasterCount; ++i) {
        const QByteArray name = "MasterSplit_" + QByteArray::number(i);
        writeEntry(root.append_child(name.constData()), m_masterSplits[i]);
    }

    const QString path = QDir::currentPath() + QLatin1Char('/') + kFileName;
    return doc.save_file(QFile::encodeName(path).constData(), "\t", pugi::format_default,
                         pugi::encoding_auto);
}
