// A team record, parsed and serialised, gives back its 684 bytes; decoded and encoded, it keeps every byte
// the encoding never changes, and encoding what it encoded changes nothing more.
#include <cstring>

#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamRecord.h"
#include "FuzzSupport.h"

using namespace kivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kTeamRecordSize) return -1;
    const std::span<const std::uint8_t, kTeamRecordSize> bytes(data, kTeamRecordSize);
    const TeamRecord record = ParseTeamRecord(bytes);
    const TeamRecordBytes again = SerializeTeamRecord(record);
    if (std::memcmp(again.data(), data, kTeamRecordSize) != 0)
        fuzz::Finding("parse/serialise changed a byte");

    const TeamRecord encoded = EncodeTeam(DecodeTeam(record));
    if (encoded.pais != record.pais || encoded.nroEquipo != record.nroEquipo ||
        encoded.nroEquipoGral != record.nroEquipoGral || encoded.nroCero != record.nroCero ||
        encoded.titularesYSuplentes != record.titularesYSuplentes)
        fuzz::Finding("the encoding changed a header or line-up byte");
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
        if (encoded.jugador[i].reservado != record.jugador[i].reservado ||
            encoded.jugador[i].reservadosCant5 != record.jugador[i].reservadosCant5)
            fuzz::Finding("the encoding changed a reserved byte");
    if (EncodeTeam(DecodeTeam(encoded)) != encoded) fuzz::Finding("encoding an encoded team changed it");
    return 0;
}
