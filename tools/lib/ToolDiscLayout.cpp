#include "tools/lib/ToolDiscLayout.h"

#include "tools/lib/ToolIniWriter.h"

#include <cctype>

static std::string UpperCase( const std::string_view text ) {
	std::string upper( text );
	for ( char& c : upper ) {
		c = static_cast<char>( std::toupper( static_cast<unsigned char>( c ) ) );
	}
	return upper;
}

bool ToolDiscLayout::IsFolderName( const std::string_view name ) {
	if ( !ToolIniWriter::IsToken( name ) ) {
		return false;
	}
	if ( name.find_first_of( "/\\" ) != std::string_view::npos ) {
		return false;
	}
	return name != "." && name != "..";
}

ToolDiscLayout::ToolDiscLayout( const std::string_view levelName, const std::string_view languageName )
	: level( UpperCase( levelName ) ), language( UpperCase( languageName ) ),
	  valid( IsFolderName( levelName ) && IsFolderName( languageName ) ) {
}

std::filesystem::path ToolDiscLayout::LevelFolder() const {
	return valid ? std::filesystem::path( "LEVEL" ) / level : std::filesystem::path();
}

std::filesystem::path ToolDiscLayout::LevelLanguageFolder() const {
	return valid ? LevelFolder() / language : std::filesystem::path();
}

std::filesystem::path ToolDiscLayout::LevelNeutralFolder() const {
	return valid ? LevelFolder() / TOOL_DISC_NEUTRAL : std::filesystem::path();
}

std::filesystem::path ToolDiscLayout::GlobalLanguageFolder() const {
	return valid ? std::filesystem::path( "GLOBAL" ) / language : std::filesystem::path();
}

std::filesystem::path ToolDiscLayout::GlobalNeutralFolder() const {
	return valid ? std::filesystem::path( "GLOBAL" ) / TOOL_DISC_NEUTRAL : std::filesystem::path();
}

std::filesystem::path ToolDiscLayout::StreamFolder() const {
	return valid ? std::filesystem::path( "STREAM" ) : std::filesystem::path();
}

std::filesystem::path ToolDiscLayout::MoviesFolder() const {
	return valid ? std::filesystem::path( "MOVIES" ) : std::filesystem::path();
}

std::filesystem::path ToolDiscLayout::SlideFolder() const {
	return valid ? std::filesystem::path( "SLIDE" ) : std::filesystem::path();
}

std::vector<std::filesystem::path> ToolDiscLayout::Folders() const {
	if ( !valid ) {
		return {};
	}
	return {
		std::filesystem::path( "LEVEL" ),
		LevelFolder(),
		LevelLanguageFolder(),
		LevelNeutralFolder(),
		std::filesystem::path( "GLOBAL" ),
		GlobalLanguageFolder(),
		GlobalNeutralFolder(),
		StreamFolder(),
		MoviesFolder(),
		SlideFolder(),
	};
}
