/*
===============================================================================

	Scene light: a positioned instance over one library light, allocated
	from a pool of at most 50 lights (chunks of 50, the first made at
	start-up). With every light in use a new-expression gives null and
	no constructor runs.

	Every type but ambient has its own frame with the light attached.
	Hiding a light takes it out of its world and remembers the world;
	showing it puts it back there.

	Without a library light the getters give 0; the cone angle (radians)
	exists for the two spot types only.

===============================================================================
*/
#ifndef EF_LIGHT_H
#define EF_LIGHT_H

#include "datatypes/containers/DTQuickPool.h"
#include "framework/core/world/EFPosData.h"
#include "framework/graphics/EFLightMgr_BC.h"

class DTColor;
struct RpLight;
struct RpWorld;

// Light kinds.
constexpr u32 EF_LIGHT_KIND_DYNAMIC		= 0x10000;
constexpr u32 EF_LIGHT_KIND_STATIC		= 0x20000;
constexpr u32 EF_LIGHT_KIND_SECOND		= 0x40000;

// Lights that may exist at once, and per pool chunk.
constexpr u32 EF_LIGHT_POOL_MAX			= 50;
constexpr u32 EF_LIGHT_POOL_CHUNK		= 50;

class EFLight_BC : public EFPosData {
public:
							EFLight_BC() : muiKind( 0 ) {}

	u32						muiKind;
};

class EFLight;

// One record of the light pool: a light's storage, or while free the
// pool's link (a destroyed light is no longer an EFLight to write to).
union EFLightRecord {
	EFLightRecord *			mpoNext;
	alignas( EFLight_BC ) u8	mau8Storage[sizeof( EFLight_BC ) + 4 * sizeof( void * )];
};

class EFLight : public EFLight_BC {
public:
	explicit				EFLight( LightType_e type );
	// Out of its world, frame detached, library light destroyed.
							~EFLight() override;

	// Pool storage; null when the pool is exhausted.
	static void *			operator new( std::size_t size ) noexcept;
	static void				operator delete( void * light ) noexcept;
	// Sets the pool up with its first chunk.
	static void				InitPools();
	// Frees the pool's chunks.
	static void				ClearPools();

	void					SetVisible( u32 visible );
	// 1 while the library light is in a world.
	u32						IsVisible() const;
	// The library light's type, 0 without one.
	u32						GetType() const;
	void					SetColor( const DTColor & colour );
	void					GetColor( DTColor & colour ) const;
	void					SetRadius( f32 radius );
	f32						GetRadius() const;
	void					SetConeAngle( f32 radians );
	f32						GetConeAngle() const;

	EFLight *				mpNextLight;
	// The pool's free-list link.
	EFLight *				mpoNext;
	RpLight *				mpLight;
	// The world the light was taken out of while hidden.
	RpWorld *				mpHiddenFrom;

	static DTQuickPool<EFLightRecord>	mLightPool;
};

#endif
