/*
===============================================================================

	Portable part of a particle type: what its particles are (lifetime,
	launch speed and spread, gravity, drag, how many leave per launch and
	how often) and how their rotation, size and colour change over their
	life. It owns its emitters.

	The physics reads the four collision masks (collision type,
	user-defined collision type, detect type, user-defined detect type,
	met crosswise with a body's) and mfRadius, the radius of the sphere
	that bounds every particle's path.

	The size curve keeps its values and times divided by 1.25, lifespan
	included, and is evaluated against the same age.

	Virtual operations after those of DTStreamable, in slot order:
	SetTexture, ComputeBSphereRadius.

===============================================================================
*/
#ifndef PL_TYPE_BC_H
#define PL_TYPE_BC_H

#include "datatypes/maths/DTVector3d.h"
#include "datatypes/streamable/DTStreamable.h"
#include "framework/graphics/particles/PLCurve.h"
#include "framework/graphics/particles/PLLinkList.h"

class PLEmitter;
class PLType;
struct RpMaterial;

// Type flags.
constexpr u32 PL_TYPE_ORIENTED			= 0x1;
constexpr u32 PL_TYPE_PAUSED			= 0x8;
constexpr u32 PL_TYPE_PAUSE_WITH_WORLD	= 0x10;
constexpr u32 PL_TYPE_SUBTRACTIVE		= 0x80;
constexpr u32 PL_TYPE_STENCIL			= 0x100;
constexpr u32 PL_TYPE_ALPHA_BLEND		= 0x200;

// Bytes of a stored type record.
constexpr u32 PL_TYPE_RECORD_SIZE		= 216;
// Characters of a stored name; buffers keep one more for the terminator.
constexpr u32 PL_NAME_LENGTH			= 32;

// Results of the setters and of SetTexture.
constexpr s32 PL_TYPE_OK				= 0;
constexpr s32 PL_TYPE_BAD_KEY			= 4;

// Keys of SetInt / GetInt.
constexpr u32 PL_INT_FLAGS				= 0x1;
constexpr u32 PL_INT_SPREAD				= 0x4;
constexpr u32 PL_INT_PER_LAUNCH			= 0x8;
constexpr u32 PL_INT_USER_FIRST			= 0x10;
constexpr u32 PL_USER_VALUES			= 5;

// Keys of SetReal.
constexpr u32 PL_REAL_DRAG				= 0x1;
constexpr u32 PL_REAL_LIFESPAN			= 0x2;
constexpr u32 PL_REAL_PERIOD			= 0x4;
constexpr u32 PL_REAL_SPEED				= 0x8;

// Keys of SetVec.
constexpr u32 PL_VEC_GRAVITY			= 0x1;
constexpr u32 PL_VEC_ORIENTATION		= 0x2;

// Masks of SetInter.
constexpr u32 PL_INTER_RED				= 0x1;
constexpr u32 PL_INTER_GREEN			= 0x2;
constexpr u32 PL_INTER_BLUE				= 0x4;
constexpr u32 PL_INTER_ALPHA			= 0x8;
constexpr u32 PL_INTER_SIZE				= 0x10;
constexpr u32 PL_INTER_ROTATION			= 0x20;

// The per-type statistics: live particles, launched particles plus
// running emitters, and one nothing fills.
constexpr u32 PL_STATISTICS				= 3;

class PLType_BC : public DTStreamable {
public:
							PLType_BC();
	// Deletes the material; the emitters belong to the manager's calls.
							~PLType_BC() override;

	// The texture of that name in the current dictionary; 0, or 4 when
	// there is none.
	virtual s32				SetTexture( const char * name ) = 0;
	// mfRadius from the size curve, speed, gravity and lifespan.
	virtual void			ComputeBSphereRadius();

	// Reads two words and a name; the named type file is not read.
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	s32						SavePropertiesText( DTBasePersistStream & stream ) override;

	// Fills the type from a stored record of size bytes; 0, or -1 for a
	// size other than 216 or a texture not in the current dictionary.
	s32						Initialize( const u8 * record, u32 size );

	// Pause state, then every emitter: clipping, launch, physics.
	void					Update( f32 dt );

	void					SetInt( u32 mask, u32 value );
	// 0, or 4 for a key that names no value (out is then left alone).
	s32						GetInt( u32 key, u32 * out ) const;
	void					SetReal( u32 key, f32 value );
	void					SetVec( u32 key, f32 x, f32 y, f32 z );
	void					SetInter( u32 mask, f32 start, f32 middle, f32 end, f32 middleTime );
	void					SetLifespan( f32 lifespan );
	void					SetGravity( f32 x, f32 y, f32 z );
	void					SetOrientation( f32 x, f32 y, f32 z );
	void					SetColor( PLCurve & curve, f32 start, f32 middle, f32 end, f32 middleTime );
	void					SetScale( f32 start, f32 middle, f32 end, f32 middleTime );
	void					SetRotation( f32 start, f32 middle, f32 end, f32 middleTime );
	// Keeps the first 32 characters.
	void					SetDisplayName( const char * name );
	const char *			GetDisplayName() const { return mszName; }

	// Whether any collision mask is set.
	bool					Collides() const {
		return ( mui32CollisionType | mui32UDCollisionType | mui32DetectType | mui32UDDetectType ) != 0;
	}

	using DTStreamable::muiUID;
	PLType *				mpoNext = nullptr;
	RpMaterial *			mpoMaterial = nullptr;
	PLCurve					moRotation;
	PLCurve					moSize;
	PLCurve					moRed;
	PLCurve					moGreen;
	PLCurve					moBlue;
	PLCurve					moAlpha;
	char					mszName[PL_NAME_LENGTH + 1];
	u32						mui32Flags;
	f32						mfRadius = 0.0f;
	DTVector3d				moGravity;
	DTVector3d				moOrientation;
	f32						mfLifespan;
	u32						mui32Spread;
	f32						mfPeriod;
	f32						mfDrag;
	f32						mfSpeed;
	u32						mui32PerLaunch;
	PLLinkList<PLEmitter>	moEmitters;
	u32						mui32Statistics[PL_STATISTICS];
	u32						mui32UserValues[PL_USER_VALUES];

	u32						mui32CollisionType = 0;
	u32						mui32UDCollisionType = 0;
	u32						mui32DetectType = 0;
	u32						mui32UDDetectType = 0;
};

#endif
