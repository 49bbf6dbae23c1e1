/*
===============================================================================

	Fixture for the HUD tests: a graphics manager on the test device with
	its HUD manager, a work memory of the engine's size, a 640 x 480
	screen, and a recorder in the device record that copies every 2D
	draw (vertices, indices, the raster set at the time) and every render
	state set, so tests read what was drawn after the frame.

	The test font (slot 0 unless said) has glyphs for 'A'-'Z', '0'-'9',
	'a'-'f' and '-', glyph n of 10 x 15 pixels on a 640 x 480 screen,
	spaces of 5 pixels, lines of 15, no letter spacing; glyph 'Z' sits on
	texture page 1. Palettes hold groups whose four colours are all
	(group, slot + 1, 0x40, 0xFF) unless a test says otherwise.

===============================================================================
*/
#ifndef HUD_TEST_BENCH_H
#define HUD_TEST_BENCH_H

#include "../EFGraphicsTestBench.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFText.h"
#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/hud/EFHudTextWindow.h"
#include "graphics3d/core/RwIm2D.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolHudTables.h"
#include "tools/lib/level/ToolLevelWriter.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct HudScreenAccess : EFGraphicsMgr_BC {
	static constexpr u32 EFGraphicsMgr_BC::*width = &HudScreenAccess::mui32ScreenWidth;
	static constexpr u32 EFGraphicsMgr_BC::*height = &HudScreenAccess::mui32ScreenHeight;
};

struct HudDraw {
	s32							primitive;
	std::vector<RwIm2DVertex>	vertices;
	std::vector<RwImVertexIndex>	indices;
	void*						raster;
};

struct HudStateSet {
	s32							state;
	uintptr_t					value;
};

// A glyph laid out: code and pen position.
struct HudGlyph {
	u32							glyph;
	f32							x;
	f32							y;
};

inline std::vector<HudDraw>&		HudDraws() { static std::vector<HudDraw> draws; return draws; }
inline std::vector<HudStateSet>&	HudStates() { static std::vector<HudStateSet> states; return states; }
inline RwDevice&					HudOriginalDevice() { static RwDevice device; return device; }
inline void*&						HudCurrentRaster() { static void* raster = nullptr; return raster; }

inline bool HudRecordState( const RwRenderState state, void* value ) {
	HudStates().push_back( { state, reinterpret_cast<uintptr_t>( value ) } );
	if ( state == 1 ) {
		HudCurrentRaster() = value;
	}
	return HudOriginalDevice().fpRenderStateSet( state, value );
}

inline bool HudRecordPrimitive( const RwPrimitiveType type, RwIm2DVertex* vertices, const s32 count ) {
	HudDraws().push_back( { type, std::vector<RwIm2DVertex>( vertices, vertices + count ), {}, HudCurrentRaster() } );
	return true;
}

inline bool HudRecordIndexed( const RwPrimitiveType type, RwIm2DVertex* vertices, const s32 count,
							  RwImVertexIndex* indices, const s32 numIndices ) {
	HudDraws().push_back( { type, std::vector<RwIm2DVertex>( vertices, vertices + count ),
							std::vector<RwImVertexIndex>( indices, indices + numIndices ), HudCurrentRaster() } );
	return true;
}

constexpr f32 HUD_SCREEN_W = 640.0f;
constexpr f32 HUD_SCREEN_H = 480.0f;
constexpr f32 HUD_GLYPH_W = 10.0f;
constexpr f32 HUD_GLYPH_H = 15.0f;
constexpr f32 HUD_SPACE_W = 5.0f;

class HudTest : public EFGraphicsTestBench {
protected:
	void SetUp() override {
		EFGraphicsTestBench::SetUp();
		Make( "" );
		ASSERT_EQ( gpoGraphicsMgr->Initialize(), 1u );
		ASSERT_NE( gpoHudMgr, nullptr );
		gpoGraphicsMgr->*HudScreenAccess::width = 640;
		gpoGraphicsMgr->*HudScreenAccess::height = 480;
		gpoHudMgr->SetScreenScale( HUD_SCREEN_W, HUD_SCREEN_H );
		savedWork = _WorkMem;
		work = std::make_unique<DTWorkMemory>( workBuffer.data(), static_cast<u32>( workBuffer.size() ) );
		_WorkMem = work.get();
		HudOriginalDevice() = RwEngineInstance->device;
		RwEngineInstance->device.fpRenderStateSet = HudRecordState;
		RwEngineInstance->device.fpIm2DRenderPrimitive = HudRecordPrimitive;
		RwEngineInstance->device.fpIm2DRenderIndexedPrimitive = HudRecordIndexed;
		HudDraws().clear();
		HudStates().clear();
		HudCurrentRaster() = nullptr;
		camera = new EFCamera( nullptr );
	}

	void TearDown() override {
		delete camera;
		RwEngineInstance->device = HudOriginalDevice();
		_WorkMem = savedWork;
		EFGraphicsTestBench::TearDown();
		HudDraws().clear();
		HudStates().clear();
	}

	// One HUD frame; the draws and states it made.
	void Frame( const f32 dt = 0.033f ) {
		HudDraws().clear();
		HudStates().clear();
		gpoHudMgr->Update( *camera, dt );
	}

	static std::array<u16, 128> FontGlyphs() {
		std::array<u16, 128> glyphs = {};
		u16 next = 2;
		for ( const char* c = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdef-"; *c != '\0'; c++ ) {
			glyphs[static_cast<u8>( *c )] = next++;
		}
		return glyphs;
	}

	static u16 Glyph( const char c ) { return FontGlyphs()[static_cast<u8>( c )]; }

	// Installs the test font in a slot (the manager owns it).
	static EFFont* InstallFont( const s32 slot ) {
		std::vector<ToolFontChar> chars( 48 );
		for ( u32 i = 0; i < chars.size(); i++ ) {
			chars[i] = { static_cast<f32>( i ) / 64.0f, 0.5f, 1.0f / 64.0f, 0.25f, 1.0f / 64.0f, 1.0f / 32.0f, 0.0f,
						 i == Glyph( 'Z' ) ? 1.0f : 0.0f };
		}
		ToolFonts font;
		font.header.puid = slot;
		font.nbChars = static_cast<u32>( chars.size() );
		font.spaceSize = 1.0f / 128.0f;
		font.lineHeight = 1.0f / 32.0f;
		font.interSpace = 0.0f;
		font.textureNames = { "PAGE0", "PAGE1" };
		font.charTable = ToolHudTables::CharTable( chars );
		font.asciiTable = ToolHudTables::AsciiTable( FontGlyphs() );
		ToolBigEndianWriter out;
		EXPECT_TRUE( ToolLevelWriter::WriteFonts( out, font ) );
		std::vector<u8> bytes = out.Take();
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		EFFont* const loaded = new EFFont();
		EXPECT_EQ( loaded->Load( stream ), 0 );
		return loaded;
	}

	// A palette of count groups in a slot (-1 global), colours as above.
	static EFHudPalette* InstallPalette( const s32 slot, const u32 count ) {
		std::vector<EFFontColorGroup> groups( count );
		for ( u32 g = 0; g < count; g++ ) {
			for ( u32 c = 0; c < 4; c++ ) {
				const u8 bytes[4] = { static_cast<u8>( g ), static_cast<u8>( slot + 1 ), 0x40, 0xFF };
				std::copy( bytes, bytes + 4, groups[g].bytes + c * 4 );
			}
		}
		EFHudPalette* const palette = new EFHudPalette();
		gpoHudMgr->AddPalette( palette, slot, count, groups.data() );
		return palette;
	}

	// A text table of command streams (the manager owns it).
	static void InstallTexts( const std::vector<std::vector<u8>>& streams ) {
		ToolTexts texts;
		texts.nbTextes = static_cast<u32>( streams.size() );
		texts.languages.push_back( ToolHudTables::TextCommandLanguage( streams ) );
		ToolBigEndianWriter out;
		ToolLevelWriter::WriteTexts( out, texts );
		std::vector<u8> bytes = out.Take();
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		EFText* const table = new EFText();
		EXPECT_EQ( table->Load( stream ), 0 );
	}

	// Lays the window out as an update does, in a block of bytes; the
	// glyphs, font and colour commands in order (font as glyph 0xFFFFFFFE
	// with x = slot, colour 0xFFFFFFFD with x = index).
	std::vector<HudGlyph> Layout( EFHudTextWindow& window, const CRect& rect, const u32 bytes = 65536 ) {
		block.assign( bytes, 0xCD );
		gpoHudMgr->SetCommandBlock( block.data(), bytes );
		window.moPosRect = rect;
		window.moClipRect = rect;
		void* commands = block.data();
		unsigned long count = 0;
		window.SpecificUpdate( 0.0f, commands, count );
		gpoHudMgr->SetCommandBlock( nullptr, 0 );
		used = static_cast<u32>( static_cast<u8*>( commands ) - block.data() );
		std::vector<HudGlyph> glyphs;
		if ( window.mpRenderStart == nullptr ) {
			return glyphs;
		}
		const u8* p = window.mpRenderStart;
		for ( ;; ) {
			u32 tag = 0;
			std::memcpy( &tag, p, 4 );
			if ( tag == EF_RENDER_END ) {
				break;
			}
			if ( tag == EF_RENDER_FONT || tag == EF_RENDER_COLOR ) {
				u32 value = 0;
				std::memcpy( &value, p + 4, 4 );
				glyphs.push_back( { tag, static_cast<f32>( value ), 0.0f } );
				p += 8;
				continue;
			}
			HudGlyph g = { tag, 0.0f, 0.0f };
			std::memcpy( &g.x, p + 4, 4 );
			std::memcpy( &g.y, p + 8, 4 );
			glyphs.push_back( g );
			p += 12;
		}
		return glyphs;
	}

	// The glyph entries only.
	static std::vector<HudGlyph> OnlyGlyphs( const std::vector<HudGlyph>& entries ) {
		std::vector<HudGlyph> glyphs;
		for ( const HudGlyph& g : entries ) {
			if ( g.glyph != EF_RENDER_FONT && g.glyph != EF_RENDER_COLOR ) {
				glyphs.push_back( g );
			}
		}
		return glyphs;
	}

	EFCamera*						camera = nullptr;
	DTWorkMemory*					savedWork = nullptr;
	std::vector<u8>					workBuffer = std::vector<u8>( MM_WORK_MEMORY_BYTES );
	std::unique_ptr<DTWorkMemory>	work;
	std::vector<u8>					block;
	u32								used = 0;
};

// Calls SetTextToDisplay / SetStringToDisplay with variadic arguments.
inline void HudSetText( EFHudTextWindow& window, const char* text, ... ) {
	va_list args;
	va_start( args, text );
	window.SetTextToDisplay( text, args );
	va_end( args );
}

inline void HudSetTextId( EFHudTextWindow& window, const u32 id, ... ) {
	va_list args;
	va_start( args, id );
	window.SetTextToDisplay( id, args );
	va_end( args );
}

inline void HudSetString( EFHudTextWindow& window, const char* format, ... ) {
	va_list args;
	va_start( args, format );
	window.SetStringToDisplay( format, args );
	va_end( args );
}

#endif
