#include "datatypes/persist/DTBinaryPersistStream.h"

#include "datatypes/base/DTByteOrder.h"

#include <bit>

namespace {

constexpr s32 BINARY_FILE_TYPE = DT_PERSIST_TYPE_BINARY | DT_PERSIST_TYPE_FILE;

} // namespace

DTBinaryPersistStream::DTBinaryPersistStream() {
	Initialise( nullptr );
}

DTBinaryPersistStream::DTBinaryPersistStream( DTFileHandle_ * file ) {
	Initialise( file );
}

DTBinaryPersistStream::~DTBinaryPersistStream() {
}

void DTBinaryPersistStream::Initialise( DTFileHandle_ * file ) {
	miType = BINARY_FILE_TYPE;
	mpFileHandle = file;
	mpoStreamLoader = nullptr;
}

// Each load starts from the field's current big-endian image, so that the
// bytes a short read does not deliver keep the field's own bytes.

s32 DTBinaryPersistStream::LoadData( char & value ) {
	u8 bytes[1] = { static_cast<u8>( value ) };
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = static_cast<char>( bytes[0] );
	return result;
}

s32 DTBinaryPersistStream::LoadData( s8 & value ) {
	u8 bytes[1] = { static_cast<u8>( value ) };
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = static_cast<s8>( bytes[0] );
	return result;
}

s32 DTBinaryPersistStream::LoadData( s16 & value ) {
	u8 bytes[2];
	DTWriteBE16( bytes, static_cast<u16>( value ) );
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = DTReadBES16( bytes );
	return result;
}

s32 DTBinaryPersistStream::LoadData( s32 & value ) {
	u8 bytes[4];
	DTWriteBE32( bytes, static_cast<u32>( value ) );
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = DTReadBES32( bytes );
	return result;
}

s32 DTBinaryPersistStream::LoadData( s64 & value ) {
	u8 bytes[8];
	DTWriteBE64( bytes, static_cast<u64>( value ) );
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = static_cast<s64>( DTReadBE64( bytes ) );
	return result;
}

s32 DTBinaryPersistStream::LoadData( u8 & value ) {
	u8 bytes[1] = { value };
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = bytes[0];
	return result;
}

s32 DTBinaryPersistStream::LoadData( u16 & value ) {
	u8 bytes[2];
	DTWriteBE16( bytes, value );
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = DTReadBE16( bytes );
	return result;
}

s32 DTBinaryPersistStream::LoadData( u32 & value ) {
	u8 bytes[4];
	DTWriteBE32( bytes, value );
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = DTReadBE32( bytes );
	return result;
}

s32 DTBinaryPersistStream::LoadData( f32 & value ) {
	// Through the bit pattern, so a NaN payload and the sign of zero survive.
	u8 bytes[4];
	DTWriteBE32( bytes, std::bit_cast<u32>( value ) );
	const s32 result = LoadBigEndian( bytes, sizeof( bytes ) );
	value = std::bit_cast<f32>( DTReadBE32( bytes ) );
	return result;
}

s32 DTBinaryPersistStream::SaveData( const char & value ) {
	u8 bytes[1] = { static_cast<u8>( value ) };
	return SaveBigEndian( bytes, sizeof( bytes ), false );
}

s32 DTBinaryPersistStream::SaveData( const s8 & value ) {
	u8 bytes[1] = { static_cast<u8>( value ) };
	return SaveBigEndian( bytes, sizeof( bytes ), false );
}

s32 DTBinaryPersistStream::SaveData( const s16 & value ) {
	u8 bytes[2];
	DTWriteBE16( bytes, static_cast<u16>( value ) );
	return SaveBigEndian( bytes, sizeof( bytes ), true );
}

s32 DTBinaryPersistStream::SaveData( const s32 & value ) {
	u8 bytes[4];
	DTWriteBE32( bytes, static_cast<u32>( value ) );
	return SaveBigEndian( bytes, sizeof( bytes ), true );
}

s32 DTBinaryPersistStream::SaveData( const s64 & value ) {
	u8 bytes[8];
	DTWriteBE64( bytes, static_cast<u64>( value ) );
	return SaveBigEndian( bytes, sizeof( bytes ), false );
}

s32 DTBinaryPersistStream::SaveData( const u8 & value ) {
	u8 bytes[1] = { value };
	return SaveBigEndian( bytes, sizeof( bytes ), false );
}

s32 DTBinaryPersistStream::SaveData( const u16 & value ) {
	u8 bytes[2];
	DTWriteBE16( bytes, value );
	return SaveBigEndian( bytes, sizeof( bytes ), true );
}

s32 DTBinaryPersistStream::SaveData( const u32 & value ) {
	u8 bytes[4];
	DTWriteBE32( bytes, value );
	return SaveBigEndian( bytes, sizeof( bytes ), true );
}

s32 DTBinaryPersistStream::SaveData( const f32 & value ) {
	u8 bytes[4];
	DTWriteBEF32( bytes, value );
	return SaveBigEndian( bytes, sizeof( bytes ), true );
}

s32 DTBinaryPersistStream::SaveTextData( const char * ) {
	return DT_PERSIST_OK;
}

s32 DTBinaryPersistStream::LoadTextData( char * buffer, const s32 max ) {
	// The length is unsigned: a stored 0x80000000 and above is a huge
	// length, not a negative one, and is cut to max like any other.
	u32 length = 0;
	const s32 lengthResult = LoadData( length );
	if ( lengthResult != DT_PERSIST_OK ) {
		return lengthResult;
	}
	if ( max <= 0 ) {
		return DT_PERSIST_OK;
	}
	const u32 limit = static_cast<u32>( max );
	const u32 count = length < limit ? length : limit;
	const s32 result = LoadBinaryData( buffer, static_cast<s32>( count ) );
	// The stored bytes should end with the string's zero; a string stored
	// without one must not run into whatever follows the buffer.
	const u32 end = length < limit - 1 ? length : limit - 1;
	buffer[end] = '\0';
	return result;
}

s32 DTBinaryPersistStream::LoadBigEndian( u8 * bytes, const s32 size ) {
	return LoadBinaryData( reinterpret_cast<char *>( bytes ), size );
}

s32 DTBinaryPersistStream::SaveBigEndian( u8 * bytes, const s32 size, const bool swappable ) {
	if ( swappable && ( miType & DT_PERSIST_TYPE_SWAP_ON_SAVE ) != 0 ) {
		for ( s32 i = 0; i < size / 2; i++ ) {
			const u8 swap = bytes[i];
			bytes[i] = bytes[size - 1 - i];
			bytes[size - 1 - i] = swap;
		}
	}
	return SaveBinaryData( reinterpret_cast<const char *>( bytes ), size );
}
