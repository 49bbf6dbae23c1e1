#include "datatypes/descriptor/DTEmitterContainerDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/base/DTByteOrder.h"
#include "datatypes/property/DTProperty.h"
#include "datatypes/property/DTVariant.h"

namespace {

// Least stored bytes of one emitter in the text form.
constexpr u64 TEXT_EMITTER_MIN	= 8;

// Words of one little-endian emitter before its block bytes.
constexpr u32 SWAP_HEADER_WORDS	= 16;

} // namespace

DTEmitterContainerDescriptor::DTEmitterContainerDescriptor()
	: mui32NbEmitters( 0 ) {
	ReserveMembers( 1 );
	RegisterMember( DTVariant( &mui32NbEmitters ), "NB_EMI" );
}

DTEmitterContainerDescriptor::~DTEmitterContainerDescriptor() {
}

DTEmitterContainerDescriptor & DTEmitterContainerDescriptor::operator=( const DTEmitterContainerDescriptor & other ) {
	if ( this == &other ) {
		return *this;
	}
	mui32NbEmitters = other.mui32NbEmitters;
	if ( !moEmitters.Resize( other.moEmitters.GetSize() ) ) {
		return *this;
	}
	for ( u32 i = 0; i < other.moEmitters.GetSize(); i++ ) {
		moEmitters[i] = other.moEmitters[i];
	}
	return *this;
}

s32 DTEmitterContainerDescriptor::PrepareEmitters( const DTBasePersistStream & stream ) {
	const u64 perEmitter = stream.IsText() ? TEXT_EMITTER_MIN : DT_EMITTER_STORED_MIN;
	if ( static_cast<u64>( mui32NbEmitters ) * perEmitter > stream.GetBytesLeft() ) {
		return DT_PERSIST_READ_PAST_END;
	}
	if ( !moEmitters.Resize( static_cast<u32>( mui32NbEmitters ) ) ) {
		return DT_PERSIST_READ_PAST_END;
	}
	return DT_PERSIST_OK;
}

s32 DTEmitterContainerDescriptor::LoadFromStream( DTBasePersistStream & stream ) {
	s32 result = DTBaseInstanceDescriptor::LoadFromStream( stream );
	if ( result != DT_PERSIST_OK || mui32NbEmitters < 1 ) {
		return result;
	}
	result = PrepareEmitters( stream );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	for ( u32 i = 0; i < moEmitters.GetSize(); i++ ) {
		DTEmitterDescriptor emitter;
		result += emitter.DTStreamable::LoadFromStream( stream );
		moEmitters[i] = emitter;
	}
	return result;
}

s32 DTEmitterContainerDescriptor::LoadMembersSwap( DTBasePersistStream & stream ) {
	const DTProperty * count = FindMember( "NB_EMI" );
	for ( u32 i = 0; i < GetMemberCount(); i++ ) {
		DTProperty * member = GetMember( i );
		s32 result = DT_PERSIST_OK;
		if ( member == count ) {
			u8 bytes[sizeof( s32 )] = {};
			result = stream.LoadBinaryData( reinterpret_cast<char *>( bytes ), sizeof( bytes ) );
			mui32NbEmitters = DTReadLES32( bytes );
		} else {
			result = member->LoadFromStream( stream );
		}
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
	}
	return DT_PERSIST_OK;
}

s32 DTEmitterContainerDescriptor::LoadFromStreamSwap( DTBasePersistStream & stream ) {
	s32 result = LoadMembersSwap( stream );
	if ( result != DT_PERSIST_OK || mui32NbEmitters < 1 ) {
		return result;
	}
	result = PrepareEmitters( stream );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	for ( u32 i = 0; i < moEmitters.GetSize(); i++ ) {
		DTEmitterDescriptor emitter;
		const s32 emitterResult = LoadEmitterSwap( stream, emitter );
		moEmitters[i] = emitter;
		if ( emitterResult == DT_PERSIST_READ_PAST_END ) {
			return result + emitterResult;
		}
		result += emitterResult;
	}
	return result;
}

s32 DTEmitterContainerDescriptor::LoadEmitterSwap( DTBasePersistStream & stream, DTEmitterDescriptor & emitter ) {
	u8 bytes[SWAP_HEADER_WORDS * sizeof( u32 )] = {};
	const s32 result = stream.LoadBinaryData( reinterpret_cast<char *>( bytes ), sizeof( bytes ) );
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	const u8 * word = bytes;
	emitter.SetUID( DTReadLE32( word ) );
	emitter.mui32BoneId = DTReadLES32( word + 4 );
	word += 8;
	DTDummyVector3 * vectors[] = { &emitter.moPosition, &emitter.moLookAt, &emitter.moLookUp, &emitter.moLookRight };
	for ( DTDummyVector3 * vector : vectors ) {
		vector->x = DTReadLEF32( word );
		vector->y = DTReadLEF32( word + 4 );
		vector->z = DTReadLEF32( word + 8 );
		word += 12;
	}
	emitter.moEmitter.SetSize( DTReadLE32( word ) );
	const u32 length = DTReadLE32( word + 4 );
	return emitter.moEmitter.LoadBytes( stream, length );
}
