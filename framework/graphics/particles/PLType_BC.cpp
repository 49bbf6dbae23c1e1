#include "framework/graphics/particles/PLType_BC.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/particles/PLEmitter.h"
#include "graphics3d/world/RpMaterial.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The size curve is stored scaled down by this factor, times included.
constexpr f32 SIZE_CURVE_SCALE		= 1.25f;

// Offsets in a stored type record.
constexpr u32 REC_NAME				= 0;
constexpr u32 REC_TEXTURE			= 32;
constexpr u32 REC_DRAG				= 64;
constexpr u32 REC_LIFESPAN			= 68;
constexpr u32 REC_PERIOD			= 72;
constexpr u32 REC_SPEED				= 76;
constexpr u32 REC_SPREAD			= 80;
constexpr u32 REC_PER_LAUNCH		= 84;
constexpr u32 REC_GRAVITY			= 88;
constexpr u32 REC_RED				= 100;
constexpr u32 REC_GREEN				= 116;
constexpr u32 REC_BLUE				= 132;
constexpr u32 REC_ALPHA				= 148;
constexpr u32 REC_SIZE				= 164;
constexpr u32 REC_ROTATION			= 180;
constexpr u32 REC_USER				= 196;
constexpr u32 REC_FLAGS				= 212;
// User values a record holds.
constexpr u32 REC_USER_VALUES		= 4;

// Copies at most PL_NAME_LENGTH characters and terminates.
void CopyName( char * to, const char * from ) {
	u32 i = 0;
	for ( ; i < PL_NAME_LENGTH && from[i] != '\0'; i++ ) {
		to[i] = from[i];
	}
	to[i] = '\0';
}

} // namespace

PLType_BC::PLType_BC()
	: mui32Flags( PL_TYPE_PAUSE_WITH_WORLD ),
	  mfLifespan( 1.5f ),
	  mui32Spread( 160 ),
	  mfPeriod( 0.1f ),
	  mfDrag( 0.0f ),
	  mfSpeed( 0.0f ),
	  mui32PerLaunch( 6 ),
	  mui32Statistics{},
	  mui32UserValues{} {
	SetDisplayName( "No name yet" );
	SetScale( 0.01f, 0.02f, 0.1f, 1.0f );
	SetRotation( 0.0f, 20.0f, 50.0f, 1.0f );
	SetColor( moRed, 1.0f, 1.0f, 1.0f, 1.0f );
	SetColor( moGreen, 1.0f, 1.0f, 1.0f, 1.0f );
	SetColor( moBlue, 1.0f, 1.0f, 1.0f, 1.0f );
	SetColor( moAlpha, 1.0f, 1.0f, 1.0f, 1.0f );
	ComputeBSphereRadius();
}

PLType_BC::~PLType_BC() {
	if ( mpoMaterial != nullptr ) {
		RpMaterialDestroy( mpoMaterial );
		mpoMaterial = nullptr;
	}
}

void PLType_BC::ComputeBSphereRadius() {
	const f32 largest = std::max( moSize.mfStart, std::max( moSize.mfMiddle, moSize.mfEnd ) );
	const f32 gravity = std::sqrt( moGravity.LengthSquare() );
	mfRadius = largest + 0.1f + mfLifespan * ( mfSpeed + 0.5f * gravity * mfLifespan );
}

s32 PLType_BC::LoadPropertiesText( char * word, DTBasePersistStream & stream ) {
	u32 first = 0;
	u32 second = 0;
	s32 result = stream.LoadData( first );
	if ( result == DT_PERSIST_OK ) {
		result = stream.LoadData( second );
	}
	if ( result == DT_PERSIST_OK ) {
		result = stream.LoadTextData( word, DT_STREAMABLE_WORD_MAX );
	}
	return result;
}

s32 PLType_BC::SavePropertiesText( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

s32 PLType_BC::Initialize( const u8 * record, const u32 size ) {
	if ( size != PL_TYPE_RECORD_SIZE || record == nullptr ) {
		return -1;
	}
	char name[PL_NAME_LENGTH + 1];
	std::memcpy( name, record + REC_NAME, PL_NAME_LENGTH );
	name[PL_NAME_LENGTH] = '\0';
	SetDisplayName( name );
	std::memcpy( name, record + REC_TEXTURE, PL_NAME_LENGTH );
	name[PL_NAME_LENGTH] = '\0';
	if ( SetTexture( name ) == PL_TYPE_BAD_KEY ) {
		return -1;
	}
	mfDrag = DTReadBEF32( record + REC_DRAG );
	mfLifespan = DTReadBEF32( record + REC_LIFESPAN );
	mfPeriod = DTReadBEF32( record + REC_PERIOD );
	mfSpeed = DTReadBEF32( record + REC_SPEED );
	mui32Spread = DTReadBE32( record + REC_SPREAD );
	mui32PerLaunch = DTReadBE32( record + REC_PER_LAUNCH );
	moGravity = DTVector3d( DTReadBEF32( record + REC_GRAVITY ), DTReadBEF32( record + REC_GRAVITY + 4 ),
							DTReadBEF32( record + REC_GRAVITY + 8 ) );
	const auto curve = [record]( const u32 at, const u32 index ) { return DTReadBEF32( record + at + 4 * index ); };
	PLCurve * const colours[] = { &moRed, &moGreen, &moBlue, &moAlpha };
	const u32 colourAt[] = { REC_RED, REC_GREEN, REC_BLUE, REC_ALPHA };
	for ( u32 i = 0; i < 4; i++ ) {
		SetColor( *colours[i], curve( colourAt[i], 0 ), curve( colourAt[i], 1 ), curve( colourAt[i], 2 ),
				  curve( colourAt[i], 3 ) );
	}
	SetScale( curve( REC_SIZE, 0 ), curve( REC_SIZE, 1 ), curve( REC_SIZE, 2 ), curve( REC_SIZE, 3 ) );
	SetRotation( curve( REC_ROTATION, 0 ), curve( REC_ROTATION, 1 ), curve( REC_ROTATION, 2 ),
				 curve( REC_ROTATION, 3 ) );
	for ( u32 i = 0; i < REC_USER_VALUES; i++ ) {
		mui32UserValues[i] = DTReadBE32( record + REC_USER + 4 * i );
	}
	mui32Flags = DTReadBE32( record + REC_FLAGS );
	ComputeBSphereRadius();
	return 0;
}

void PLType_BC::Update( const f32 dt ) {
	mui32Statistics[0] = mui32Statistics[1] = mui32Statistics[2] = 0;
	if ( ( mui32Flags & PL_TYPE_PAUSE_WITH_WORLD ) != 0 ) {
		if ( gpoWorldMgr != nullptr && gpoWorldMgr->GetPauseFlag() != 0 ) {
			mui32Flags |= PL_TYPE_PAUSED;
		} else {
			mui32Flags &= ~PL_TYPE_PAUSED;
		}
	}
	for ( PLEmitter * emitter = moEmitters.GetFirst(); emitter != nullptr; emitter = emitter->mpoNext ) {
		if ( ( mui32Flags & PL_TYPE_PAUSED ) != 0 ) {
			mui32Statistics[0] += emitter->GetNbActivePart();
			continue;
		}
		emitter->UpdateClippingState();
		if ( ( emitter->mui32ShapeFlags & PL_SHAPE_CLIPPED ) != 0 &&
			 ( emitter->mui32Flags & PL_EMITTER_NO_UPDATE_CLIPPED ) != 0 ) {
			mui32Statistics[0] += emitter->GetNbActivePart();
			continue;
		}
		mui32Statistics[1] += emitter->LaunchParticle( dt );
		mui32Statistics[0] += emitter->UpdatePhysic( dt );
		if ( emitter->mui8Running != 0 ) {
			mui32Statistics[1]++;
		}
	}
}

void PLType_BC::SetInt( const u32 mask, const u32 value ) {
	if ( ( mask & PL_INT_FLAGS ) != 0 ) {
		mui32Flags = value;
	}
	if ( ( mask & PL_INT_SPREAD ) != 0 ) {
		mui32Spread = value;
	}
	if ( ( mask & PL_INT_PER_LAUNCH ) != 0 ) {
		mui32PerLaunch = value;
	}
	for ( u32 i = 0; i < PL_USER_VALUES; i++ ) {
		if ( ( mask & ( PL_INT_USER_FIRST << i ) ) != 0 ) {
			mui32UserValues[i] = value;
		}
	}
}

s32 PLType_BC::GetInt( const u32 key, u32 * out ) const {
	u32 value = 0;
	if ( key == PL_INT_FLAGS ) {
		value = mui32Flags;
	} else if ( key == PL_INT_SPREAD ) {
		value = mui32Spread;
	} else if ( key == PL_INT_PER_LAUNCH ) {
		value = mui32PerLaunch;
	} else {
		u32 i = 0;
		while ( i < PL_USER_VALUES && key != ( PL_INT_USER_FIRST << i ) ) {
			i++;
		}
		if ( i == PL_USER_VALUES ) {
			return PL_TYPE_BAD_KEY;
		}
		value = mui32UserValues[i];
	}
	*out = value;
	return PL_TYPE_OK;
}

void PLType_BC::SetReal( const u32 key, const f32 value ) {
	if ( key == PL_REAL_DRAG ) {
		mfDrag = value;
	} else if ( key == PL_REAL_LIFESPAN ) {
		SetLifespan( value );
	} else if ( key == PL_REAL_PERIOD ) {
		mfPeriod = value;
	} else if ( key == PL_REAL_SPEED ) {
		mfSpeed = value;
		ComputeBSphereRadius();
	}
}

void PLType_BC::SetVec( const u32 key, const f32 x, const f32 y, const f32 z ) {
	if ( key == PL_VEC_GRAVITY ) {
		SetGravity( x, y, z );
	} else if ( key == PL_VEC_ORIENTATION ) {
		SetOrientation( x, y, z );
	}
}

void PLType_BC::SetInter( const u32 mask, const f32 start, const f32 middle, const f32 end, const f32 middleTime ) {
	PLCurve * const colours[] = { &moRed, &moGreen, &moBlue, &moAlpha };
	const u32 colourMasks[] = { PL_INTER_RED, PL_INTER_GREEN, PL_INTER_BLUE, PL_INTER_ALPHA };
	for ( u32 i = 0; i < 4; i++ ) {
		if ( ( mask & colourMasks[i] ) != 0 ) {
			SetColor( *colours[i], start, middle, end, middleTime );
		}
	}
	if ( ( mask & PL_INTER_SIZE ) != 0 ) {
		SetScale( start, middle, end, middleTime );
		ComputeBSphereRadius();
	}
	if ( ( mask & PL_INTER_ROTATION ) != 0 ) {
		SetRotation( start, middle, end, middleTime );
	}
}

void PLType_BC::SetLifespan( const f32 lifespan ) {
	mfLifespan = lifespan;
	moRotation.SetLifespan( lifespan );
	moSize.SetLifespan( lifespan / SIZE_CURVE_SCALE );
	moRed.SetLifespan( lifespan );
	moGreen.SetLifespan( lifespan );
	moBlue.SetLifespan( lifespan );
	moAlpha.SetLifespan( lifespan );
	ComputeBSphereRadius();
}

void PLType_BC::SetGravity( const f32 x, const f32 y, const f32 z ) {
	moGravity = DTVector3d( x, y, z );
	ComputeBSphereRadius();
}

void PLType_BC::SetOrientation( const f32 x, const f32 y, const f32 z ) {
	moOrientation = DTVector3d( x, y, z );
}

void PLType_BC::SetColor( PLCurve & curve, const f32 start, const f32 middle, const f32 end, const f32 middleTime ) {
	curve.Set( start, middle, end, middleTime, mfLifespan );
}

void PLType_BC::SetScale( const f32 start, const f32 middle, const f32 end, const f32 middleTime ) {
	moSize.Set( start / SIZE_CURVE_SCALE, middle / SIZE_CURVE_SCALE, end / SIZE_CURVE_SCALE,
				middleTime / SIZE_CURVE_SCALE, mfLifespan / SIZE_CURVE_SCALE );
}

void PLType_BC::SetRotation( const f32 start, const f32 middle, const f32 end, const f32 middleTime ) {
	moRotation.Set( start, middle, end, middleTime, mfLifespan );
}

void PLType_BC::SetDisplayName( const char * name ) {
	CopyName( mszName, name != nullptr ? name : "" );
}
