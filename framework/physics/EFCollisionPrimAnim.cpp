#include "framework/physics/EFCollisionPrimAnim.h"

#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"

#include <cstring>

DT_IMPLEMENT_DYNAMIC_CLASS( EFCollisionPrimAnim, "EF_COLLISION_PRIM_ANIM", EF_COLLISION_PRIM_ANIM_CLASS_ID,
							IT_OBJECT );

namespace {

// Reads fields in turn until one fails; the first failing code stays.
struct FieldReader {
	DTBasePersistStream &	stream;
	s32						result;

	template <typename T>
	void operator()( T & value ) {
		if ( result == 0 ) {
			result = stream.LoadData( value );
		}
	}
};

// Writes every field; the OR of the results.
struct FieldWriter {
	DTBasePersistStream &	stream;
	s32						result;

	template <typename T>
	void operator()( T & value ) {
		result |= stream.SaveData( value );
	}
};

template <typename Io>
void Fields( EFCPAnimSphere & s, Io & io ) {
	io( s.mfX );
	io( s.mfY );
	io( s.mfZ );
	io( s.mfRadius );
}

template <typename Io>
void Fields( EFCPAnimVector & v, Io & io ) {
	for ( f32 & c : v.mafStart ) {
		io( c );
	}
	io( v.mfEndTime );
	for ( f32 & c : v.mafEnd ) {
		io( c );
	}
}

template <typename Io>
void Fields( EFCPAnimValue & v, Io & io ) {
	io( v.mfStart );
	io( v.mfEndTime );
	io( v.mfEnd );
}

// The payload's fields in stream order.
template <typename Io>
void PayloadFields( const u32 command, void * payload, Io & io ) {
	switch ( command ) {
	case EF_CPANIM_ATTR_INT: {
		EFCPAnimAttrInt & p = *static_cast<EFCPAnimAttrInt *>( payload );
		io( p.miIndex );
		io( p.miValue );
		break;
	}
	case EF_CPANIM_ATTR_REAL: {
		EFCPAnimAttrReal & p = *static_cast<EFCPAnimAttrReal *>( payload );
		io( p.miIndex );
		io( p.mfValue );
		break;
	}
	case EF_CPANIM_BOUND_SPHERE: {
		EFCPAnimBoundSphere & p = *static_cast<EFCPAnimBoundSphere *>( payload );
		Fields( p.moStart, io );
		io( p.mfEndTime );
		Fields( p.moEnd, io );
		break;
	}
	case EF_CPANIM_TRANSLATE:
		Fields( *static_cast<EFCPAnimTranslate *>( payload ), io );
		break;
	case EF_CPANIM_SWEPT_AXIS:
		Fields( *static_cast<EFCPAnimSweptAxis *>( payload ), io );
		break;
	case EF_CPANIM_BBOX_DIM:
		Fields( *static_cast<EFCPAnimBBoxDim *>( payload ), io );
		break;
	case EF_CPANIM_SPHERE_RADIUS:
		Fields( *static_cast<EFCPAnimSphereRadius *>( payload ), io );
		break;
	case EF_CPANIM_SWEPT_RADIUS:
		Fields( *static_cast<EFCPAnimSweptRadius *>( payload ), io );
		break;
	case EF_CPANIM_GLOBAL_SPHERE:
		Fields( static_cast<EFCPAnimGlobalSphere *>( payload )->moSphere, io );
		break;
	default:
		break;
	}
}

// A zeroed payload for command (every float 0.0), or null for a code
// without one or when memory fails.
void * NewPayload( const u32 command ) {
	const u32 size = EFCPAnimPayloadSize( command );
	return size != 0 ? MMCalloc( size, 1 ) : nullptr;
}

}	// namespace

u32 EFCPAnimPayloadSize( const u32 command ) {
	static const u32 sizes[EF_CPANIM_NO_PAYLOAD] = {
		sizeof( EFCPAnimAttrInt ),		sizeof( EFCPAnimAttrReal ),	 sizeof( EFCPAnimBoundSphere ),
		sizeof( EFCPAnimTranslate ),	sizeof( EFCPAnimSphereRadius ), sizeof( EFCPAnimSweptAxis ),
		sizeof( EFCPAnimSweptRadius ), sizeof( EFCPAnimBBoxDim ),		 sizeof( EFCPAnimGlobalSphere ),
	};
	return command < EF_CPANIM_NO_PAYLOAD ? sizes[command] : 0;
}

EFCollisionPrimAnim::EFCollisionPrimAnim() : mi16NbCommands( 0 ) {
}

EFCollisionPrimAnim::~EFCollisionPrimAnim() {
	ClearCommands();
}

s32 EFCollisionPrimAnim::GetClassID() const {
	return EF_COLLISION_PRIM_ANIM_CLASS_ID;
}

const char * EFCollisionPrimAnim::GetClassName() const {
	return "EF_COLLISION_PRIM_ANIM";
}

s32 EFCollisionPrimAnim::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	ClearCommands();
	s16 count = 0;
	if ( stream.LoadData( count ) != 0 ) {
		return 0;
	}
	// A negative count would ask for a huge reservation.
	if ( count < 0 || !moCommands.Reserve( static_cast<u32>( count ) ) ) {
		return DT_PERSIST_READ_PAST_END;
	}
	mi16NbCommands = count;
	for ( s16 i = 0; i < count; i++ ) {
		EFCPAnimCmdPair pair;
		FieldReader read = { stream, 0 };
		read( pair.mfTime );
		read( pair.mui16Prim );
		read( pair.mui16Command );
		if ( read.result != 0 ) {
			return read.result;
		}
		pair.mpPayload = NewPayload( pair.mui16Command );
		if ( pair.mpPayload == nullptr && EFCPAnimPayloadSize( pair.mui16Command ) != 0 ) {
			return DT_PERSIST_READ_PAST_END;
		}
		PayloadFields( pair.mui16Command, pair.mpPayload, read );
		// A half-read payload is not kept.
		if ( read.result != 0 ) {
			MMFree( pair.mpPayload );
			return read.result;
		}
		moCommands.Append( pair );
	}
	return 0;
}

s32 EFCollisionPrimAnim::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	return LoadPropertiesBinary( stream );
}

s32 EFCollisionPrimAnim::SavePropertiesBinary( DTBasePersistStream & ) {
	return 0;
}

s32 EFCollisionPrimAnim::SavePropertiesText( DTBasePersistStream & ) {
	return 0;
}

s32 EFCollisionPrimAnim::SaveCommands( DTVector<EFCPAnimCmdPair> & commands, DTBasePersistStream & stream ) {
	FieldWriter write = { stream, 0 };
	for ( u32 i = 0; i < commands.GetSize(); i++ ) {
		EFCPAnimCmdPair & pair = commands[i];
		write( pair.mfTime );
		write( pair.mui16Prim );
		write( pair.mui16Command );
		if ( pair.mpPayload != nullptr ) {
			PayloadFields( pair.mui16Command, pair.mpPayload, write );
		}
	}
	return write.result;
}

bool EFCollisionPrimAnim::AddCommand( const f32 time, const u16 prim, const u16 command, const void * payload,
									  DTVector<EFCPAnimCmdPair> & commands ) {
	EFCPAnimCmdPair pair;
	pair.mfTime = time;
	pair.mui16Prim = prim;
	pair.mui16Command = command;
	const u32 size = EFCPAnimPayloadSize( command );
	if ( size != 0 ) {
		pair.mpPayload = MMMalloc( size );
		if ( pair.mpPayload == nullptr ) {
			return false;
		}
		if ( payload != nullptr ) {
			std::memcpy( pair.mpPayload, payload, size );
		} else {
			std::memset( pair.mpPayload, 0, size );
		}
	}
	if ( !commands.Append( pair ) ) {
		MMFree( pair.mpPayload );
		return false;
	}
	return true;
}

void EFCollisionPrimAnim::ClearCommands() {
	for ( u32 i = 0; i < moCommands.GetSize(); i++ ) {
		MMFree( moCommands[i].mpPayload );
		moCommands[i].mpPayload = nullptr;
	}
	moCommands.Reserve( 0 );
	mi16NbCommands = 0;
}
