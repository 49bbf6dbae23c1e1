#include "framework/graphics/animation/EFAnimCollPrim.h"

u32 EFAnimCollPrimSize( const u32 kind ) {
	switch ( kind ) {
		case EF_ANIM_COLL_BSPHERE:
		case EF_ANIM_COLL_TRANSLATION:
			return sizeof( EFAnimCollPrimPoint );
		case EF_ANIM_COLL_SPHERE:
			return sizeof( EFAnimCollPrimSphere );
		case EF_ANIM_COLL_BOX:
			return sizeof( EFAnimCollPrimBox );
		case EF_ANIM_COLL_SWEPT_SPHERE:
			return sizeof( EFAnimCollPrimSweptSphere );
		default:
			return 0;
	}
}
