// The record layout of the whole-daemon target's input, and a mutator that knows it. libFuzzer's own
// mutations rarely keep a record's length byte true to its body or leave a message's references
// alone, so most of its inputs die at the first length check. This one mostly changes one thing the
// daemon reads (a word of a message body, a body's length, the sender, the order of the records)
// and keeps everything else valid; one time in four it leaves the bytes to libFuzzer. Crossing two
// inputs keeps whole records.
#ifndef SYNC_FUZZ_PEERRECORDS_H
#define SYNC_FUZZ_PEERRECORDS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace PeerRecords {

// A record: the kind byte, the peer byte and, for messages, the number selector; then the length
// byte and the body it counts. Kinds 0-3 (low three bits) carry a message, kind 3 a selector too.
struct Record {
    std::vector<uint8_t> head;  // without the length byte
    std::vector<uint8_t> body;
    bool message = false;
};

inline std::vector<Record> parse(const uint8_t* data, size_t size, std::vector<uint8_t>& rest) {
    std::vector<Record> records;
    size_t at = 0;
    while (at + 2 <= size) {
        Record record;
        record.message = (data[at] & 7) <= 3;
        const size_t headSize = (data[at] & 7) == 3 ? 3 : 2;
        if (record.message && at + headSize + 1 > size)
            break;
        record.head.assign(data + at, data + at + headSize);
        at += headSize;
        if (record.message) {
            const size_t length = std::min<size_t>(data[at], size - at - 1);
            record.body.assign(data + at + 1, data + at + 1 + length);
            at += 1 + length;
        }
        records.push_back(std::move(record));
    }
    rest.assign(data + at, data + size);
    return records;
}

inline std::vector<uint8_t> serialise(const std::vector<Record>& records, const std::vector<uint8_t>& rest) {
    std::vector<uint8_t> out;
    for (const Record& record : records) {
        out.insert(out.end(), record.head.begin(), record.head.end());
        if (record.message) {
            out.push_back(static_cast<uint8_t>(record.body.size()));
            out.insert(out.end(), record.body.begin(), record.body.end());
        }
    }
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

// Values a word of a message is worth trying as: bounds, flags, counts and lengths.
inline uint32_t interestingWord(std::minstd_rand& rng, size_t bodySize) {
    static constexpr uint32_t VALUES[] = {0,      1,       2,          3,          4,          7,
                                          8,      16,      0x7F,       0x80,       0xFF,       0x100,
                                          0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};
    switch (rng() % 4) {
        case 0:
            return static_cast<uint32_t>(bodySize + 4 + rng() % 5 - 2);  // the message's own length
        case 1:
            return static_cast<uint32_t>(rng());
        default:
            return VALUES[rng() % (sizeof VALUES / sizeof VALUES[0])];
    }
}

// Mutates one message body: a word, its length, or its bytes (libFuzzer's mutations, which also try
// the values the daemon compared with), mostly behind the procedure and connection references.
inline void mutateBody(std::vector<uint8_t>& body, std::minstd_rand& rng) {
    // Body offset 8 is message offset 12: the references come before it.
    const size_t keep = rng() % 2 != 0 ? std::min<size_t>(8, body.size()) : 0;
    const unsigned choice = rng() % 8;
    if (choice == 0) {  // the length: a word more or less, or any length up to the byte's limit
        const size_t length = rng() % 2 != 0 ? (body.size() + 4 * (rng() % 3) + 252) % 256 : rng() % 256;
        body.resize(length, static_cast<uint8_t>(rng()));
    } else if (choice <= 3) {  // a word, big- or host-endian, where the interfaces put their fields
        if (body.size() < keep + 4)
            body.resize(keep + 4);
        const size_t at = keep + 4 * (rng() % ((body.size() - keep) / 4));
        const uint32_t value = interestingWord(rng, body.size());
        const uint8_t bigEndian[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                                      uint8_t(value)};
        std::memcpy(&body[at], rng() % 4 != 0 ? static_cast<const void*>(bigEndian) : &value, 4);
    } else {
        std::vector<uint8_t> tail(body.begin() + static_cast<long>(keep), body.end());
        tail.resize(256 - keep);
        tail.resize(LLVMFuzzerMutate(tail.data(), body.size() - keep, 255 - keep));
        body.resize(keep);
        body.insert(body.end(), tail.begin(), tail.end());
    }
}

// Writes records back over data when they fit in maxSize; else leaves the bytes to libFuzzer.
inline size_t store(const std::vector<Record>& records, const std::vector<uint8_t>& rest, uint8_t* data,
                    size_t size, size_t maxSize) {
    const std::vector<uint8_t> out = serialise(records, rest);
    if (out.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::copy(out.begin(), out.end(), data);
    return out.size();
}

inline size_t mutate(uint8_t* data, size_t size, size_t maxSize, unsigned seed) {
    std::minstd_rand rng(seed);
    std::vector<uint8_t> rest;
    std::vector<Record> records = parse(data, size, rest);
    if (records.empty() || rng() % 4 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    const size_t chosen = rng() % records.size();
    Record& record = records[chosen];
    switch (rng() % 10) {
        case 0:  // another sender
            record.head[1] = static_cast<uint8_t>(rng());
            break;
        case 1:  // the stamps switched
            record.head[0] = static_cast<uint8_t>((record.head[0] & 7) | (rng() & 0xF8));
            break;
        case 2:  // the same record again, later
            records.insert(records.begin() + static_cast<long>(rng() % (records.size() + 1)), Record(record));
            break;
        case 3:
            if (records.size() > 1)
                records.erase(records.begin() + static_cast<long>(chosen));
            break;
        case 4:
            std::swap(record, records[rng() % records.size()]);
            break;
        default:
            if (record.message)
                mutateBody(record.body, rng);
            else
                record.head[1] = static_cast<uint8_t>(rng());
            break;
    }
    return store(records, rest, data, size, maxSize);
}

// The first records of one input, then the last of another: what one peer said, then another.
inline size_t crossOver(const uint8_t* one, size_t oneSize, const uint8_t* other, size_t otherSize,
                        uint8_t* out, size_t maxOutSize, unsigned seed) {
    std::minstd_rand rng(seed);
    std::vector<uint8_t> rest;
    std::vector<Record> records = parse(one, oneSize, rest);
    std::vector<Record> tail = parse(other, otherSize, rest);
    records.resize(rng() % (records.size() + 1));
    records.insert(records.end(), tail.begin() + static_cast<long>(rng() % (tail.size() + 1)), tail.end());
    const std::vector<uint8_t> bytes = serialise(records, rest);
    const size_t size = std::min(bytes.size(), maxOutSize);
    std::copy(bytes.begin(), bytes.begin() + static_cast<long>(size), out);
    return size;
}

}  // namespace PeerRecords

#endif
