#include "framework/graphics/hud/EFHudPalette.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/hud/EFHudMgr.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFHudPalette, "EF_FONTS_PAL", EF_HUD_PALETTE_CLASS_ID, IT_OBJECT );

namespace {

constexpr s32 LOAD_REFUSED			= -2;
// Shorter fades copy at once.
constexpr f32 SHORTEST_FADE			= 0.001f;

// Channel 0 red, 1 green, 2 blue, 3 alpha.
u8 & Channel( RwRGBA & color, const u32 channel ) {
	u8 * const bytes[4] = { &color.red, &color.green, &color.blue, &color.alpha };
	return *bytes[channel & 3];
}

// Calls apply( destination byte, source byte(s)... ) for every colour and
// channel the mask selects.
template <typename Apply>
void ForMasked( const u32 mask, Apply apply ) {
	for ( u32 color = 0; color < EF_HUD_GROUP_COLORS; color++ ) {
		if ( ( mask & ( 0x10u << color ) ) == 0 ) {
			continue;
		}
		for ( u32 channel = 0; channel < 4; channel++ ) {
			if ( ( mask & ( 1u << channel ) ) != 0 ) {
				apply( color, channel );
			}
		}
	}
}

EFHudColorGroup * Group( const s32 slot, const u32 index ) {
	return gpoHudMgr != nullptr ? gpoHudMgr->GetColorGroup( slot, index ) : nullptr;
}

}

EFHudPalette::EFHudPalette() : mpoGroups( nullptr ), muiGroupCount( 0 ) {
}

EFHudPalette::~EFHudPalette() {
	MMFree( mpoGroups );
}

s32 EFHudPalette::GetClassID() const {
	return EF_HUD_PALETTE_CLASS_ID;
}

const char * EFHudPalette::GetClassName() const {
	return "EF_FONTS_PAL";
}

s32 EFHudPalette::LoadFromStream( DTBasePersistStream & stream ) {
	const s32 result = DTFontsPalDescriptor::LoadFromStream( stream );
	if ( result != 0 ) {
		return result;
	}
	const s32 slot = uiInstancePUID;
	if ( slot < EF_HUD_GLOBAL_PALETTE || slot >= static_cast<s32>( EF_HUD_PALETTE_SLOTS ) ) {
		DTPrintf( "PALETTE %d NOT INSTALLED: NO SUCH SLOT!!!\n", slot );
		return LOAD_REFUSED;
	}
	// Without a HUD the stored description stays as loaded.
	if ( gpoHudMgr == nullptr ) {
		return 0;
	}
	const u32 count = GetColorTable() != nullptr ? GetColorTableBytes() / DT_FONTS_PAL_COLOR_BYTES : 0;
	gpoHudMgr->AddPalette( this, slot, count, reinterpret_cast<const EFFontColorGroup *>( GetColorTable() ) );
	FreeTable();
	return 0;
}

bool EFHudPalette::IsOwnedElsewhere() const {
	return gpoHudMgr != nullptr && gpoHudMgr->IsPaletteInstalled( this );
}

void EFHudPalette::Init( const u32 count, const EFFontColorGroup * groups ) {
	MMFree( mpoGroups );
	mpoGroups = nullptr;
	muiGroupCount = 0;
	if ( count == 0 ) {
		return;
	}
	void * const memory = MMMalloc( static_cast<u32>( sizeof( EFHudColorGroup ) ) * count );
	if ( memory == nullptr || count > 0xFFFFFFFFu / sizeof( EFHudColorGroup ) ) {
		MMFree( memory );
		return;
	}
	mpoGroups = static_cast<EFHudColorGroup *>( memory );
	muiGroupCount = count;
	for ( u32 i = 0; i < count; i++ ) {
		EFHudColorGroup & group = *new ( &mpoGroups[i] ) EFHudColorGroup();
		for ( u32 color = 0; color < EF_HUD_GROUP_COLORS && groups != nullptr; color++ ) {
			const u8 * const bytes = groups[i].bytes + color * 4;
			group.aColors[color] = { bytes[0], bytes[1], bytes[2], bytes[3] };
		}
	}
}

EFHudColorGroup * EFHudPalette::GetGroup( const u32 index ) const {
	return index < muiGroupCount ? &mpoGroups[index] : nullptr;
}

void EFHudPalette::ColorCopy( const s32 slot, const u32 destination, const u32 source, const u32 mask ) {
	EFHudColorGroup * const to = Group( slot, destination );
	EFHudColorGroup * const from = Group( slot, source );
	if ( to == nullptr || from == nullptr ) {
		return;
	}
	ForMasked( mask, [&]( const u32 color, const u32 channel ) {
		Channel( to->aColors[color], channel ) = Channel( from->aColors[color], channel );
	} );
}

void EFHudPalette::ColorBlend( const s32 slot, const u32 destination, const u32 from, const u32 to, const f32 t,
							   const u32 mask ) {
	EFHudColorGroup * const out = Group( slot, destination );
	EFHudColorGroup * const a = Group( slot, from );
	EFHudColorGroup * const b = Group( slot, to );
	if ( out == nullptr || a == nullptr || b == nullptr ) {
		return;
	}
	ForMasked( mask, [&]( const u32 color, const u32 channel ) {
		const s32 start = Channel( a->aColors[color], channel );
		const s32 end = Channel( b->aColors[color], channel );
		// A factor outside [0, 1] wraps the byte, as the console's store does.
		const s32 step = static_cast<s32>( t * static_cast<f32>( end - start ) );
		Channel( out->aColors[color], channel ) = static_cast<u8>( static_cast<u32>( start + step ) & 0xFF );
	} );
}

void EFHudPalette::ColorFadeStart( const s32 slot, const u32 destination, const u32 from, const u32 to,
								   const f32 duration, const u32 mask ) {
	EFHudColorGroup * const group = Group( slot, destination );
	if ( group == nullptr ) {
		return;
	}
	group->fElapsed = 0.0f;
	group->fDuration = duration;
	group->uiFlags = mask | EF_HUD_FADE_RUNNING;
	group->uiSlot = static_cast<u32>( slot );
	group->uiDestination = destination;
	group->uiFrom = from;
	group->uiTo = to;
}

void EFHudPalette::ColorFadeStop( const s32 slot, const u32 index ) {
	EFHudColorGroup * const group = Group( slot, index );
	if ( group != nullptr ) {
		group->uiFlags &= ~EF_HUD_FADE_RUNNING;
	}
}

bool EFHudPalette::ColorIsFading( const s32 slot, const u32 index ) {
	const EFHudColorGroup * const group = Group( slot, index );
	return group != nullptr && ( group->uiFlags & EF_HUD_FADE_RUNNING ) != 0;
}

void EFHudPalette::Update( const f32 dt ) {
	for ( u32 i = 0; i < muiGroupCount; i++ ) {
		EFHudColorGroup & group = mpoGroups[i];
		if ( ( group.uiFlags & EF_HUD_FADE_RUNNING ) == 0 ) {
			continue;
		}
		group.fElapsed += dt;
		f32 t = group.fDuration > SHORTEST_FADE ? 2.0f * group.fElapsed / group.fDuration : 1.0f;
		const s32 slot = static_cast<s32>( group.uiSlot );
		if ( t < 1.0f ) {
			ColorBlend( slot, group.uiDestination, group.uiFrom, group.uiTo, t, group.uiFlags );
		} else if ( ( group.uiFlags & EF_HUD_FADE_BACK_AND_FORTH ) != 0 ) {
			if ( t > 2.0f ) {
				t -= 2.0f;
				t = t > 2.0f ? 2.0f : t;
				group.fElapsed -= group.fDuration;
			}
			if ( t > 1.0f ) {
				t = 2.0f - t;
			}
			ColorBlend( slot, group.uiDestination, group.uiFrom, group.uiTo, t, group.uiFlags );
		} else {
			ColorCopy( slot, group.uiDestination, group.uiTo, group.uiFlags );
			group.uiFlags &= ~EF_HUD_FADE_RUNNING;
		}
	}
}
